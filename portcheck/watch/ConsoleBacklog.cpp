#include "ConsoleBacklog.h"

#include <algorithm>

#include "WatchText.h"

namespace portcheck {

void ConsoleBacklog::Add(const std::string& lines) {
    if (text_.size() + lines.size() <= limit_) {
        text_ += lines;
        return;
    }
    const uint64_t count = static_cast<uint64_t>(std::count(lines.begin(), lines.end(), '\n'));
    dropped_ += count;
    droppedInAll_ += count;
}

std::string ConsoleBacklog::Take() {
    std::string text;
    text.swap(text_);
    if (dropped_ > 0)
        text += "(" + Grouped(dropped_) + " live line" + (dropped_ == 1 ? "" : "s") +
                " dropped: the console did not keep up; the VCD file and the summary have every change)\n";
    dropped_ = 0;
    return text;
}

}  // namespace portcheck
