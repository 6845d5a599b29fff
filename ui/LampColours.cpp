#include "LampColours.h"

#include <stdexcept>

namespace {

struct LitColourOf {
    const char* line;
    TColor colour;
};

// In the order of kLines.
constexpr LitColourOf kLitColours[] = {
    {"DI1", clRed},   {"DI2", clRed},     {"DI3", clRed},     {"DI4", clRed},    {"DI5", clRed},
    {"DO1", clLime},  // /STROBE
    {"DO2", clLime},  {"DO3", clYellow},  {"DO4", clYellow},  {"DO5", clRed},    {"DO6", clRed},
    {"DO7", clRed},   {"DO8", clRed},     {"DO9", clYellow},  // D0..D7
    {"DO10", clYellow}, {"DO11", clLime}, {"DO12", clLime},
};

static_assert(InLineOrder(kLitColours), "a colour for every line, in the order of kLines");

}  // namespace

TColor LitColour(const Line& line) {
    const auto index = &line - kLines.data();
    if (index < 0 || static_cast<size_t>(index) >= kLines.size()) throw std::out_of_range("not a line of the panel");
    return kLitColours[index].colour;
}
