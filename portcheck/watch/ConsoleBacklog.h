// The live lines on their way to the console. A console can stop reading
// (a selection in it, a pipe nobody reads); the recording must not wait for
// it. So the lines wait here, up to a limit; beyond it they are dropped and
// counted, and the count is printed once the console takes lines again.
// The VCD and the summary have every change whatever is dropped here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace portcheck {

constexpr size_t kConsoleBacklogBytes = 64 * 1024;

class ConsoleBacklog {
public:
    explicit ConsoleBacklog(size_t limit = kConsoleBacklogBytes) : limit_(limit) {}

    // Whole lines; dropped (and counted) when the backlog is full.
    void Add(const std::string& lines);
    // Lines never dropped: the summary and the errors.
    void AddAlways(const std::string& lines) { text_ += lines; }
    // What to print now, with a note of what was dropped since the last take.
    std::string Take();
    bool empty() const { return text_.empty() && dropped_ == 0; }
    uint64_t droppedInAll() const { return droppedInAll_; }

private:
    size_t limit_;
    std::string text_;
    uint64_t dropped_ = 0;
    uint64_t droppedInAll_ = 0;
};

}  // namespace portcheck
