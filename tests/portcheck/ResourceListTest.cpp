// The I/O ranges in a resource list from Windows' resource map: a card's
// ranges read past its interrupt, and nothing at all from a list that does
// not hold together.
#include <gtest/gtest.h>

#include "CardResourceList.h"
#include "ResourceList.h"

using namespace portcheck;

namespace {

constexpr size_t kPartialCountAt = 16;
constexpr size_t kInterruptAt = 40;
constexpr size_t kExtendedBlockStartAt = 64;

// "DC00+8 D880+4", or "refused" where the list is refused, which must leave
// the ranges as they were.
std::string Read(const std::vector<uint8_t>& list) {
    std::vector<IoRange> ranges = {{0x1234, 1}};
    if (!IoRangesInResourceList(list.data(), list.size(), &ranges))
        return ranges.size() == 1 && ranges[0].start == 0x1234 ? "refused" : "refused, but the ranges changed";
    std::string text;
    for (const IoRange& range : ranges) {
        char one[24];
        std::snprintf(one, sizeof one, " %X+%u", static_cast<unsigned>(range.start),
                      static_cast<unsigned>(range.length));
        text += one;
    }
    return text.empty() ? text : text.substr(1);
}

}  // namespace

TEST(ResourceList, CardPortsReadPastItsInterrupt) {
    EXPECT_EQ(Read(CardResourceList()), "DC00+8 D880+4");
}

TEST(ResourceList, ListsThatDoNotHoldTogetherGiveNothing) {
    const std::vector<uint8_t> card = CardResourceList();
    for (size_t size = 0; size < card.size(); ++size)
        EXPECT_EQ(Read(std::vector<uint8_t>(card.begin(), card.begin() + size)), "refused") << "cut to " << size;

    std::vector<uint8_t> list = card;
    list[kPartialCountAt + 3] = 0xFF;  // four billion partial descriptors
    EXPECT_EQ(Read(list), "refused");
    list = card;
    list[0] = 2;  // a second full descriptor after the first
    EXPECT_EQ(Read(list), "refused");

    list = card;
    list[kInterruptAt] = 5;  // a device-specific block whose 0x10 bytes of data cut the last descriptor short
    EXPECT_EQ(Read(list), "refused");

    list = card;
    list[kExtendedBlockStartAt + 2] = 0x01;  // 1D880: no x86 I/O address
    EXPECT_EQ(Read(list), "refused");
    list = card;
    list[kExtendedBlockStartAt] = 0xFE, list[kExtendedBlockStartAt + 1] = 0xFF;  // FFFE-10001
    EXPECT_EQ(Read(list), "refused");
}
