// Text to integer and integer to hex, as the address field and captions use them.
#include <gtest/gtest.h>

#include "SysUtils.h"
#include "WindowsError.h"

namespace {

struct Accepted {
    const char* text;
    int value;
};

class StrToIntAccepts : public testing::TestWithParam<Accepted> {};

TEST_P(StrToIntAccepts, Value) { EXPECT_EQ(StrToInt(GetParam().text), GetParam().value) << GetParam().text; }

INSTANTIATE_TEST_SUITE_P(
    DecimalAndHex, StrToIntAccepts,
    testing::Values(Accepted{"0X378", 888}, Accepted{"888", 888}, Accepted{"0x378", 888}, Accepted{"$378", 888},
                    Accepted{"x378", 888}, Accepted{"X378", 888}, Accepted{"  888", 888}, Accepted{"+888", 888},
                    Accepted{"-888", -888}, Accepted{"-$10", -16}, Accepted{"0xde00", 0xDE00},
                    Accepted{"0XdE00", 0xDE00}, Accepted{"$FFFFFFFF", -1}, Accepted{"$7FFFFFFF", 2147483647},
                    Accepted{"$80000000", -2147483647 - 1}, Accepted{"0x000000001", 1},
                    Accepted{"2147483647", 2147483647}, Accepted{"-2147483648", -2147483647 - 1},
                    Accepted{"0", 0}, Accepted{"007", 7}, Accepted{"0X10378", 0x10378}));

class StrToIntRejects : public testing::TestWithParam<const char*> {};

TEST_P(StrToIntRejects, WithTheConversionMessage) {
    const std::string text = GetParam();
    try {
        StrToInt(text);
        FAIL() << "accepted '" << text << "'";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "'" + text + "' is not a valid integer value");
    }
}

INSTANTIATE_TEST_SUITE_P(BadText, StrToIntRejects,
                         testing::Values("", " ", "zz", "0x", "$", "x", "+", "-", "12 ", "\t12", "1 2", "0x1G",
                                         "99999999999", "2147483648", "-2147483649", "$100000000", "0x-1", "--1",
                                         "1.5", "0X378h"));

TEST(IntToHex, PadsToDigitsNeverTruncates) {
    EXPECT_EQ(IntToHex(889, 3), "379");
    EXPECT_EQ(IntToHex(890, 3), "37A");
    EXPECT_EQ(IntToHex(56833, 3), "DE01");
    EXPECT_EQ(IntToHex(1, 3), "001");
    EXPECT_EQ(IntToHex(0, 3), "000");
    EXPECT_EQ(IntToHex(-1, 3), "FFFFFFFF");
    EXPECT_EQ(IntToHex(0x10379, 3), "10379");
    EXPECT_EQ(IntToHex(255, 10), "00000000FF");
}

TEST(IntToStr, SignedDecimal) {
    EXPECT_EQ(IntToStr(255), "255");
    EXPECT_EQ(IntToStr(-1), "-1");
    EXPECT_EQ(IntToStr(0), "0");
}

}  // namespace

// A Windows error: its number, then the system's text where it has one.
TEST(WindowsErrorText, TheNumberAndTheSystemsTextWhereItHasOne) {
    const std::string denied = WindowsErrorText(5);
    EXPECT_EQ(denied.rfind("error 5 (", 0), 0u) << denied;
    EXPECT_EQ(denied.back(), ')') << denied;
    EXPECT_EQ(denied.find('\n'), std::string::npos) << "the line ends are the caller's";
    EXPECT_EQ(WindowsErrorText(0x2FFFFFFF), "error 805306367") << "no text for a number Windows does not know";
}
