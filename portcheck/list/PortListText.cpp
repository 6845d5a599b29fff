#include "PortListText.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include <windows.h>

#include <cfgmgr32.h>

#include "TextFormat.h"

namespace portcheck {

namespace {

using Cells = std::vector<std::string>;

// The narrowest each column is, so that the usual names line up in one
// layout from PC to PC; a longer value widens its column for every line.
constexpr size_t kMinWidths[] = {6, 26, 13, 30};
constexpr size_t kColumns = sizeof kMinWidths / sizeof kMinWidths[0];

// Device Manager's problems that a port can show, in words, and what to do.
struct ProblemText {
    unsigned long code;
    const char* text;
};
constexpr ProblemText kProblems[] = {
    {CM_PROB_FAILED_START, "Windows cannot start it (problem 10): see the device status on the port's "
                           "General tab in Device Manager"},
    {CM_PROB_NORMAL_CONFLICT, "in a resource conflict (problem 12): see the port's Resources tab in Device Manager"},
    {CM_PROB_DISABLED, "disabled in Device Manager (problem 22): enable it there to use it"},
    {CM_PROB_FAILED_INSTALL, "no driver installed (problem 28): install the card's driver, or let "
                             "Device Manager's Update Driver find one"},
};

std::string ProblemLine(unsigned long code) {
    for (const ProblemText& problem : kProblems)
        if (problem.code == code) return problem.text;
    return "Device Manager shows problem " + std::to_string(code) +
           ": see the device status on the port's General tab there";
}

// As Device Manager writes them: "0378-037F, 0778-077A".
std::string RangesText(const std::vector<IoRange>& ranges) {
    std::string text;
    for (const IoRange& range : ranges) {
        char one[24];
        std::snprintf(one, sizeof one, "%04X-%04X", static_cast<unsigned>(range.start),
                      static_cast<unsigned>(range.start + range.length - 1));
        text += (text.empty() ? "" : ", ") + std::string(one);
    }
    return text;
}

// Device Manager ends the name with " (LPT1)"; the LPT name has a column
// of its own.
std::string ShownName(const PortDevice& device) {
    const std::string suffix = " (" + device.lptName + ")";
    const std::string& name = device.name;
    if (!device.lptName.empty() && name.size() > suffix.size() &&
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
        return name.substr(0, name.size() - suffix.size());
    return name.empty() ? "(no name)" : name;
}

Cells LineCells(const PortDevice& device) {
    Cells cells = {device.lptName.empty() ? "-" : device.lptName, ShownName(device)};
    const PortLayout layout = ClassifyPort(device);
    switch (layout.kind) {
    case PortKind::Port:
        cells.push_back("base " + Hex(layout.port.start));
        cells.push_back("ranges " + RangesText(device.ranges));
        if (layout.extended.length) cells.push_back("extended " + Hex(layout.extended.start));
        break;
    case PortKind::UsbAdapter:
        cells.push_back("USB adapter: no registers a program can reach (printer drivers only)");
        break;
    case PortKind::NoRange:
        cells.push_back("no I/O range allocated: the port is disabled or in a resource conflict "
                        "(see Device Manager)");
        break;
    case PortKind::Problem:
        cells.push_back(ProblemLine(device.problem));
        break;
    case PortKind::Unknown:
        cells.push_back("unknown: Windows did not give its resources (removed while listing?)");
        break;
    case PortKind::RangesHidden:
        cells.push_back("Windows does not tell this program the I/O ranges here: see the port's "
                        "Resources tab in Device Manager");
        break;
    case PortKind::Unclear:
        cells.push_back("base ?");
        cells.push_back("ranges " + RangesText(device.ranges));
        cells.push_back("which range is the port is unclear: see the card's manual");
        break;
    }
    return cells;
}

// LPT1, LPT2 ... LPT10 by number; ports without an LPT name after them.
int LptNumber(const std::string& lptName) {
    if (lptName.size() <= 3) return INT_MAX;
    int number = 0;
    for (size_t i = 3; i < lptName.size(); ++i) {
        if (lptName[i] < '0' || lptName[i] > '9' || number > 9999) return INT_MAX;
        number = number * 10 + (lptName[i] - '0');
    }
    return number;
}

}  // namespace

std::string PortListText(const std::vector<PortDevice>& devices) {
    if (devices.empty()) return "No parallel ports: Windows lists none on this PC\n";
    // Sorted by index: a sort of the devices themselves makes a program
    // tens of kilobytes larger.
    std::vector<size_t> order(devices.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&devices](size_t a, size_t b) {
        return LptNumber(devices[a].lptName) < LptNumber(devices[b].lptName);
    });
    std::vector<Cells> lines;
    size_t widths[kColumns];
    std::copy(kMinWidths, kMinWidths + kColumns, widths);
    for (size_t index : order) {
        lines.push_back(LineCells(devices[index]));
        const Cells& cells = lines.back();
        for (size_t i = 0; i + 1 < cells.size() && i < kColumns; ++i)
            widths[i] = std::max(widths[i], cells[i].size() + 1);
    }
    std::string text;
    for (const Cells& cells : lines) {
        for (size_t i = 0; i + 1 < cells.size(); ++i)
            text += cells[i] + std::string(widths[i] - cells[i].size(), ' ');
        text += cells.back() + "\n";
    }
    return text;
}

}  // namespace portcheck
