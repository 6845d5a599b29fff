// What --watch prints while it records: a line per change, with its time
// in microseconds since the start and the lines that changed, by pin and
// signal name. A console prints a few hundred lines a second at best, so
// in a second with more changes than that the lines stop and the second
// ends in a count ("1,234 changes in the last second, recording all"),
// until a second brings few enough again.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ParallelPins.h"

namespace portcheck {

constexpr uint64_t kLinesPerSecond = 100;

class LiveOutput {
public:
    LiveOutput(const std::vector<const Pin*>& pins, uint64_t linesPerSecond = kLinesPerSecond)
        : pins_(pins), budget_(linesPerSecond) {}

    // The levels at the start.
    std::string Start(uint32_t sample) const;
    // The sample changed from `before` to `after` at `ns` since the start.
    std::string Change(uint32_t before, uint32_t after, int64_t ns);
    // Time has reached `ns`: the count of a second that is over, if due.
    std::string Reached(int64_t ns);

private:
    std::string Levels(uint32_t changed, uint32_t sample) const;
    std::string CloseSecond();

    std::vector<const Pin*> pins_;
    uint64_t budget_;
    int64_t second_ = 0;
    uint64_t changes_ = 0;   // in this second
    bool folding_ = false;   // the last second had more than the budget
};

}  // namespace portcheck
