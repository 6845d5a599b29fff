#include "LampColours.h"

#include <stdexcept>

namespace {

// In the order of kLines: DI1..DI5, DO1..DO12.
const TColor kLitColours[] = {
    clRed,    clRed,    clRed,    clRed,    clRed,                          // DI1..DI5
    clLime,                                                                 // DO1  /STROBE
    clLime,   clYellow, clYellow, clRed,    clRed, clRed, clRed, clYellow,  // DO2..DO9  D0..D7
    clYellow, clLime,   clLime,                                             // DO10..DO12
};
static_assert(sizeof kLitColours / sizeof kLitColours[0] == kLines.size(), "a colour for every line");

}  // namespace

TColor LitColour(const Line& line) {
    const auto index = &line - kLines.data();
    if (index < 0 || static_cast<size_t>(index) >= kLines.size()) throw std::out_of_range("not a line of the panel");
    return kLitColours[index];
}
