// The tables of chips and settings, checked row by row: what each row
// promises (a name the console takes, a word and its value, a power-up
// value, a line of --help and of `show`) holds for every row, including
// rows added later.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ConsoleArgs.h"
#include "ConsoleSettings.h"
#include "ConsoleText.h"
#include "PortFixture.h"
#include "Settings.h"

using namespace vport;

TEST(ChipTable, EveryChipIsNamedTakenByTheConsoleAndSummedUpInHelp) {
    const std::string help = ConsoleUsage();
    for (const ChipTraits& row : kChipTraits) {
        SCOPED_TRACE(row.name);
        ParsedCommand parsed = ParseConsoleArgs({"chip", row.name});
        ASSERT_TRUE(parsed.ok) << parsed.error;
        EXPECT_EQ(parsed.command.chip, row.chip);
        EXPECT_STREQ(ChipName(row.chip), row.name);
        EXPECT_NE(help.find(std::string(row.name) + " "), std::string::npos);
        EXPECT_NE(help.find(row.summary), std::string::npos);
    }
    EXPECT_STREQ(ChipName(Chip::Count), "unknown");
    EXPECT_EQ(ChipNames(kEcr, " or "), "ecp, fragile-ecr or fixed-mode");
    EXPECT_EQ(ChipNames(kEppRegisters), "epp and epp-blocking");
}

TEST_F(PortTest, ShowNamesEveryChipAndSaysWhatItDoes) {
    for (const ChipTraits& row : kChipTraits) {
        port->SetChip(row.chip);
        const std::string show = FormatSnapshot(TakeSnapshot(*port));
        EXPECT_NE(show.find(std::string("\nchip     ") + row.name + "\n         " + row.summary + "\n"),
                  std::string::npos)
            << show;
    }
}

namespace {

// Every word's value; of a number, its least, a middle one and its most.
std::vector<uint32_t> ValuesOf(const SettingRow& row) {
    std::vector<uint32_t> values;
    if (WordCount(row) == 0) return {row.least, row.least + (row.most - row.least) / 2, row.most};
    for (uint32_t value = 0; value <= MostOf(row); ++value) values.push_back(value);
    return values;
}

}  // namespace

TEST(SettingTable, EveryWordOfEverySettingParsesToItsPlaceAndOthersAreRefused) {
    const std::string help = ConsoleUsage();
    for (const SettingRow& row : kSettingRows) {
        SCOPED_TRACE(row.command);
        if (WordCount(row) == 0) {  // a number in its range
            for (uint32_t value : {row.least, row.most}) {
                ParsedCommand parsed = ParseConsoleArgs({row.command, std::to_string(value)});
                ASSERT_TRUE(parsed.ok) << parsed.error;
                EXPECT_EQ(parsed.command.setting, row.id);
                EXPECT_EQ(parsed.command.settingValue, value);
            }
            EXPECT_FALSE(ParseConsoleArgs({row.command, std::to_string(row.most + 1ull)}).ok);
            EXPECT_FALSE(ParseConsoleArgs({row.command, "sideways"}).ok);
            EXPECT_NE(help.find(std::string("  ") + row.command + " "), std::string::npos);
            continue;
        }
        std::string usage = std::string("  ") + row.command + " ";
        for (int n = 0; n < WordCount(row); ++n) {
            ParsedCommand parsed = ParseConsoleArgs({row.command, row.words[n].word});
            ASSERT_TRUE(parsed.ok) << parsed.error;
            EXPECT_EQ(parsed.command.action, ConsoleAction::SetSetting);
            EXPECT_EQ(parsed.command.setting, row.id);
            EXPECT_EQ(parsed.command.settingValue, static_cast<uint32_t>(n));
            usage += (n == 0 ? "" : "|") + std::string(row.words[n].word);
        }
        EXPECT_NE(help.find(usage), std::string::npos) << usage;
        ParsedCommand wrong = ParseConsoleArgs({row.command, "sideways"});
        EXPECT_FALSE(wrong.ok);
        EXPECT_NE(wrong.error.find(std::string(row.command) + ": 'sideways' is n"), std::string::npos) << wrong.error;
        ParsedCommand missing = ParseConsoleArgs({row.command});
        EXPECT_NE(missing.error.find(std::string("missing ") + row.what + "; use: " + usage.substr(2)),
                  std::string::npos)
            << missing.error;
        EXPECT_FALSE(ParseConsoleArgs({row.command, row.words[0].word, "more"}).ok);
    }
}

TEST_F(PortTest, EverySettingTakesItsValuesRefusesOthersAndResetPutsItBack) {
    for (const SettingRow& row : kSettingRows) {
        SCOPED_TRACE(row.command);
        EXPECT_EQ(port->Get(row.id), row.powerUp);
        for (uint32_t value : ValuesOf(row)) {
            ASSERT_TRUE(port->Set(row.id, value));
            EXPECT_EQ(port->Get(row.id), value);
            EXPECT_EQ(port->Settings().Value(row.id), value);
        }
        EXPECT_FALSE(port->Set(row.id, MostOf(row) + 1));
        EXPECT_EQ(port->Get(row.id), MostOf(row)) << "a refused value changes nothing";
    }
    port->Reset();
    for (const SettingRow& row : kSettingRows) EXPECT_EQ(port->Get(row.id), row.powerUp) << row.command;
}

TEST_F(PortTest, TheConsoleSaysWhatEachSettingNowDoesAndShowListsIt) {
    for (const SettingRow& row : kSettingRows) {
        for (uint32_t value : ValuesOf(row)) {
            ConsoleCommand command;
            command.action = ConsoleAction::SetSetting;
            command.setting = row.id;
            command.settingValue = value;
            const ConsoleOutcome outcome = ApplySetting(*port, command);
            const std::string shown = SettingShown(row, value);
            EXPECT_EQ(outcome.out, row.setPrefix + shown + "\n");
            const std::string show = FormatSnapshot(TakeSnapshot(*port));
            const bool listed = row.label != nullptr && (row.shownAlways || value != row.powerUp);
            char line[64];
            std::snprintf(line, sizeof line, "\n%-9s", row.label ? row.label : "");
            EXPECT_EQ(show.find(line + shown + "\n") != std::string::npos, listed)
                << row.command << " " << value << "\n" << show;
        }
    }
}
