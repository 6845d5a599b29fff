// PortConsole: watches and drives the virtual parallel port from a console
// beside the running panel, or between program runs (the port keeps its
// state in a file). Exit codes: 0 done, 1 the port state could not be
// opened (nothing changed), 2 bad arguments or a setting refused.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "ConsoleArgs.h"
#include "ConsoleSettings.h"
#include "ConsoleText.h"
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

// The port named by the environment; for `reset`, a new one in place of a
// state file that can't be used.
std::unique_ptr<PortState> OpenPort(ConsoleAction action) {
    std::string error;
    bool foreign = false;
    std::unique_ptr<PortState> port(PortState::Open(&error, &foreign));
    if (!port && foreign && action == ConsoleAction::Reset) {
        std::fprintf(stderr, "PortConsole: %s; making a new one\n", error.c_str());
        port.reset(PortState::Recreate(&error));
        foreign = false;
    }
    if (!port)
        std::fprintf(stderr, "PortConsole: %s; nothing was shown or changed%s\n", error.c_str(),
                     foreign ? " (`PortConsole reset` replaces it with a new port at power-up)" : "");
    return port;
}

int Run(const ConsoleCommand& command) {
    if (command.action == ConsoleAction::Help) {
        Print(ConsoleUsage());
        return 0;
    }
    std::unique_ptr<PortState> port = OpenPort(command.action);
    if (!port) return 1;
    switch (command.action) {
    case ConsoleAction::Show:
        Print(FormatSnapshot(TakeSnapshot(*port)));
        return 0;
    case ConsoleAction::Watch:
        Watch(*port, command);
        return 0;
    case ConsoleAction::PrintLog:
        PrintLog(*port, command);
        return 0;
    case ConsoleAction::Reset:
        port->Reset();
        Print("port reset to power-up\n");
        return 0;
    default: {
        const ConsoleOutcome outcome = ApplySetting(*port, command);
        std::fputs(outcome.err.c_str(), stderr);
        Print(outcome.out);
        return outcome.exitCode;
    }
    }
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
