// PortConsole: watches and drives the virtual parallel port from a console
// beside the running panel. Exit codes: 0 done, 1 the port state could not
// be opened, 2 bad arguments.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "ConsoleArgs.h"
#include "ConsoleText.h"
#include "PinModel.h"
#include "PortState.h"

namespace {

using namespace vport;

HANDLE g_stopWatching = nullptr;

// Ctrl+C ends `watch` between two pictures rather than killing the process,
// which could happen while it holds the port's lock.
BOOL WINAPI OnConsoleControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    SetEvent(g_stopWatching);
    return TRUE;
}

void Print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

// Pads each line of `text` with spaces to `width`, so that drawn over a
// longer line it leaves nothing of it behind.
std::string PadLines(const std::string& text, size_t width) {
    std::string padded;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        padded.append(text, start, end - start);
        if (end - start < width) padded.append(width - (end - start), ' ');
        padded += '\n';
    }
    return padded;
}

// On a console each picture is drawn over the previous one; into a file or
// pipe the pictures follow each other, a blank line apart.
void Watch(const PortState& port, const ConsoleCommand& command) {
    g_stopWatching = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    CONSOLE_SCREEN_BUFFER_INFO screen;
    const bool onConsole = GetConsoleScreenBufferInfo(out, &screen) != 0;
    const size_t width = onConsole && screen.dwSize.X > 1 ? screen.dwSize.X - 1 : 0;
    SHORT top = -1;
    for (uint32_t shown = 0;;) {
        std::string picture = FormatSnapshot(TakeSnapshot(port));
        if (onConsole && top >= 0) {
            SetConsoleCursorPosition(out, COORD{0, top});
            picture = PadLines(picture, width);
        } else if (shown > 0) {
            picture = "\n" + picture;
        }
        Print(picture);
        if (onConsole && GetConsoleScreenBufferInfo(out, &screen)) {
            SHORT lines = 0;
            for (char c : picture) lines += c == '\n';
            top = static_cast<SHORT>(screen.dwCursorPosition.Y - lines);
        }
        if (++shown == command.watchCount) break;
        if (WaitForSingleObject(g_stopWatching, command.watchIntervalMs) == WAIT_OBJECT_0) break;
    }
    SetConsoleCtrlHandler(OnConsoleControl, FALSE);
    CloseHandle(g_stopWatching);
}

void PrintLog(PortState& port, const ConsoleCommand& command) {
    uint64_t first = 0;
    std::vector<Access> accesses = port.TakeLog(command.logSince, &first, command.clearLog);
    if (first > command.logSince && !accesses.empty())
        std::fprintf(stderr, "note: accesses before %llu are no longer in the log\n",
                     static_cast<unsigned long long>(first));
    std::string text;
    for (const Access& access : accesses) text += FormatAccess(access) + "\n";
    Print(text);
}

void SetPin(PortState& port, const ConsoleCommand& command) {
    port.SetInputPin(command.pin, command.high);
    Wiring wiring = port.GetWiring();
    if (int source = WiredSource(wiring, command.pin)) {
        if (command.high)
            std::fprintf(stderr, "note: with %s wiring pin %d follows pin %d\n",
                         WiringName(wiring), command.pin, source);
        else
            std::fprintf(stderr,
                         "note: pin %d stays low whatever pin %d drives into it "
                         "through the %s wiring, like a line shorted to ground\n",
                         command.pin, source, WiringName(wiring));
    }
    std::printf("pin %d %s\n", command.pin, command.high ? "high" : "pulled low");
}

int Run(const ConsoleCommand& command) {
    if (command.action == ConsoleAction::Help) {
        Print(ConsoleUsage());
        return 0;
    }
    std::string error;
    std::unique_ptr<PortState> port(PortState::Open(&error));
    if (!port) {
        std::fprintf(stderr, "PortConsole: %s\n", error.c_str());
        return 1;
    }
    switch (command.action) {
    case ConsoleAction::Help:
        break;
    case ConsoleAction::Show:
        Print(FormatSnapshot(TakeSnapshot(*port)));
        break;
    case ConsoleAction::Watch:
        Watch(*port, command);
        break;
    case ConsoleAction::SetPin:
        SetPin(*port, command);
        break;
    case ConsoleAction::ForceStatus:
        port->ForceStatus(command.status);
        std::printf("status forced to 0x%02X\n", command.status);
        break;
    case ConsoleAction::AutoStatus:
        port->ClearForcedStatus();
        std::printf("status follows the pins\n");
        break;
    case ConsoleAction::SetWiring:
        port->SetWiring(command.wiring);
        std::printf("wiring %s\n", WiringName(command.wiring));
        break;
    case ConsoleAction::SetDriver:
        port->SetDriverRunning(command.driverRunning);
        std::printf("driver %s\n", DriverStateName(command.driverRunning));
        break;
    case ConsoleAction::PrintLog:
        PrintLog(*port, command);
        break;
    case ConsoleAction::Reset:
        port->Reset();
        std::printf("port reset to power-up\n");
        break;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    ParsedCommand parsed = ParseConsoleArgs(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.ok) {
        std::fprintf(stderr, "PortConsole: %s\n", parsed.error.c_str());
        return 2;
    }
    return Run(parsed.command);
}
