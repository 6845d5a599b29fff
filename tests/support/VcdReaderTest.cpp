// The strict VCD reader the watch's tests check the writer with: it takes a
// dump in every form the standard allows, and refuses, naming the line,
// each way a file can fail to be one.
#include <gtest/gtest.h>

#include "VcdReader.h"

namespace {

const char kHeader[] =
    "$date today $end\n$version 1 $end\n$comment two lines\nof it $end\n$timescale 10ns $end\n"
    "$scope module top $end\n$scope task t $end\n$var wire 1 ! a $end\n$var reg 4 \"# bus [3:0] $end\n"
    "$var real 64 % level $end\n$var wire 1 ! a_alias $end\n$var wire 1 $ dollar $end\n$upscope $end\n$upscope $end\n$enddefinitions $end\n";

std::string Refusal(const std::string& text) {
    vcd::Dump dump;
    std::string error;
    return vcd::ReadVcd(text, &dump, &error) ? "accepted" : error;
}

}  // namespace

TEST(VcdReader, ReadsEveryFormTheStandardAllows) {
    vcd::Dump dump;
    std::string error;
    ASSERT_TRUE(vcd::ReadVcd(std::string(kHeader) +
                                 "#0 $dumpvars 0! bx01 \"# r0.5 % 1$ $end\n#5\n1!\nB1Z \"#\n#5 $comment same time $end\n"
                                 "#12 R-1.5e+3 % $dumpoff x! $end $dumpon 0! $end\n",
                             &dump, &error))
        << error;
    EXPECT_EQ(dump.timescale, "10 ns");
    ASSERT_EQ(dump.variables.size(), 5u);
    EXPECT_EQ(dump.variables[1].reference, "bus[3:0]");
    EXPECT_EQ(dump.variables[1].scope, "top.t");
    EXPECT_EQ(dump.times, (std::vector<int64_t>{0, 5, 5, 12}));
    ASSERT_EQ(dump.changes.size(), 9u);
    EXPECT_EQ(dump.changes[1].value, "bx01");
    EXPECT_EQ(dump.changes[3].code, "$");
    EXPECT_EQ(dump.changes[5].value, "b1z");
    EXPECT_EQ(dump.changes[5].time, 5);
    EXPECT_EQ(dump.changes[6].value, "r-1.5e+3");
    EXPECT_EQ(dump.changes[8].code, "!");
    EXPECT_EQ(dump.comments, (std::vector<std::string>{"two lines of it", "same time"}));
}

TEST(VcdReader, RefusesWhatIsNoValueChangeDump) {
    const std::string h = kHeader;
    const std::string scope = "$scope module m $end ";
    const struct {
        std::string text;
        std::string error;
    } cases[] = {
        {"", "line 1: no $enddefinitions at the end of the file"},
        {"$timescale 1 us $end\n$scope module m $end $var wire 1 ! a $end $upscope $end",
         "line 2: no $enddefinitions at the end of the file"},
        {"$scope module m $end $var wire 1 ! a $end $upscope $end $enddefinitions $end\n#0 1!\x01",
         "line 2: a byte that is neither printable ASCII nor white space"},
        {"$comment never ends", "line 1: $comment without its $end at the end of the file"},
        {"$enddefinitions $end", "line 1: no variable declared ('$enddefinitions')"},
        {"$timescale 2 us $end", "line 1: not a time scale ('us')"},
        {"$timescale 1 min $end", "line 1: not a time scale ('min')"},
        {"$timescale 1us $end $timescale 1us $end", "line 1: a second one ('$timescale')"},
        {"$timescale 1 us 5 $end", "line 1: $timescale has more than it takes ('5')"},
        {"$scope room m $end", "line 1: not a scope type ('room')"},
        {"$upscope $end", "line 1: no scope open ('$upscope')"},
        {"$var wire 1 ! a $end", "line 1: a variable outside every scope ('$var')"},
        {scope + "$var wyre 1 ! a $end", "line 1: not a variable type ('wyre')"},
        {scope + "$var wire 0 ! a $end", "line 1: not a size ('0')"},
        {scope + "$var wire 1 $end a $end", "line 1: not an identifier code ('$end')"},
        {scope + "$var wire 1 ! 9a $end", "line 1: not a reference ('9a')"},
        {scope + "$var wire 1 ! a [x] $end", "line 1: not a bit select ('[x]')"},
        {scope + "$var wire 1 ! a $end $var wire 2 ! b $end", "line 1: declared before with another size ('!')"},
        {scope + "$var wire 1 ! a $end $enddefinitions $end", "line 1: scope m still open ('$enddefinitions')"},
        {"#0", "line 1: not a declaration ('#0')"},
        {h + "1!", "line 16: a value change before the first time ('1!')"},
        {h + "#5 #4", "line 16: a time before the last ('#4')"},
        {h + "#-1", "line 16: not a time ('#-1')"},
        {h + "#1x", "line 16: not a time ('#1x')"},
        {h + "#0 2!", "line 16: neither a command, a time nor a value change ('2!')"},
        {h + "#0 1?", "line 16: no variable has this identifier code ('?')"},
        {h + "#0 1", "line 16: a value without its identifier code ('1')"},
        {h + "#0 1\"#", "line 16: a scalar value of a vector ('1\"#')"},
        {h + "#0 b10101 \"#", "line 16: not a vector value of \"# ('b10101')"},
        {h + "#0 b12 \"#", "line 16: not a vector value of \"# ('b12')"},
        {h + "#0 b1 %", "line 16: not a vector value of % ('b1')"},
        {h + "#0 r1.5 !", "line 16: not a real value of a real ('r1.5')"},
        {h + "#0 r1.5e %", "line 16: not a real value of a real ('r1.5e')"},
        {h + "#0 b1", "line 16: a value without its identifier code at the end of the file"},
        {h + "#0 $dumpvars 1!", "line 16: $dumpvars without its $end at the end of the file"},
        {h + "#0 $dumpvars #1 $end", "line 16: neither a command, a time nor a value change ('#1')"},
        {h + "#0 $var wire 1 ? b $end", "line 16: neither a command, a time nor a value change ('$var')"},
        {h + "#0 $end", "line 16: neither a command, a time nor a value change ('$end')"},
    };
    for (const auto& c : cases) EXPECT_EQ(Refusal(c.text), c.error) << c.text;
}
