// The real program, started as a user starts it, driven through its windows:
// the start-up message when the port library is missing, an exception shown
// from a handler, and the exit code. Run under the null display driver; the
// folders are laid out by CMakeLists.txt.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

std::string Folder(const char* name) {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string exe(path, n);
    return exe.substr(0, exe.find_last_of("\\/") + 1) + name + "\\";
}

// Polls until found() returns a window or 10 s pass.
template <class Find>
HWND WaitFor(Find found) {
    for (int i = 0; i < 1000; ++i) {
        if (HWND w = found()) return w;
        Sleep(10);
    }
    return nullptr;
}

struct Program {
    PROCESS_INFORMATION pi{};

    explicit Program(const std::string& folder) {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::string command = "\"" + folder + "Tarnwick.exe\"";
        EXPECT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi))
            << folder;
    }
    ~Program() {
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 99);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }

    bool Owns(HWND w) const {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        return pid == pi.dwProcessId;
    }

    // A top-level window of this program, by class and title, visible or not.
    HWND TopLevel(const char* cls, const char* title, bool mustBeVisible = true) const {
        for (HWND w = FindWindowExA(nullptr, nullptr, cls, title); w; w = FindWindowExA(nullptr, w, cls, title))
            if (Owns(w) && (!mustBeVisible || IsWindowVisible(w))) return w;
        return nullptr;
    }

    HWND MessageBox() const {
        return WaitFor([&] { return TopLevel("#32770", "Tarnwick"); });
    }
    HWND MainWindow() const {
        return WaitFor([&] { return TopLevel("TarnwickForm", "Tarnwick"); });
    }

    DWORD ExitCode() const {
        DWORD code = 1234;
        if (WaitForSingleObject(pi.hProcess, 10000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
        return code;
    }
};

std::string BoxText(HWND box) {
    std::string text;
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[16] = {}, buf[256] = {};
        GetClassNameA(c, cls, sizeof cls);
        if (lstrcmpiA(cls, "Static") != 0 || (GetWindowLongA(c, GWL_STYLE) & SS_ICON)) continue;
        GetWindowTextA(c, buf, sizeof buf);
        text += buf;
    }
    return text;
}

void Dismiss(HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); }

struct ChildSearch {
    const char *cls, *text;
    HWND found;
};

BOOL CALLBACK MatchChild(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<ChildSearch*>(p);
    char c[32] = {}, t[64] = {};
    GetClassNameA(w, c, sizeof c);
    GetWindowTextA(w, t, sizeof t);
    if (lstrcmpiA(c, s->cls) == 0 && (!s->text || lstrcmpA(t, s->text) == 0)) s->found = w;
    return s->found ? FALSE : TRUE;
}

// The first child window of that class (and text, if given).
HWND Child(HWND parent, const char* cls, const char* text) {
    ChildSearch s{cls, text, nullptr};
    EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

TEST(Startup, MissingLibraryIsReportedOnceBeforeTheWindowThenAHandlerExceptionIsShownAndExitIsClean) {
    Program program(Folder("no-library"));

    HWND box = program.MessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(BoxText(box), "LoadLibrary Failed.\n");
    EXPECT_EQ(program.TopLevel("TarnwickForm", "Tarnwick"), nullptr) << "the window shows after the message";
    Dismiss(box);

    HWND window = program.MainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(program.TopLevel("#32770", "Tarnwick"), nullptr) << "one message only";

    // A bad address: the conversion error is shown and the program goes on.
    HWND field = Child(window, "Edit", nullptr);
    HWND set = Child(window, "Button", "Set");
    ASSERT_TRUE(field && set);
    SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("zz"));
    PostMessageA(set, BM_CLICK, 0, 0);
    box = program.MessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(BoxText(box), "'zz' is not a valid integer value.");
    Dismiss(box);
    ASSERT_TRUE(WaitFor([&] { return program.TopLevel("#32770", "Tarnwick") ? nullptr : window; }));

    // Without the library a good address reads an empty bus: 255 everywhere.
    SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("0X378"));
    PostMessageA(set, BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(set) ? nullptr : set; })) << "Set locks after success";

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.ExitCode(), 0u);
}

TEST(Startup, WithTheLibraryNoMessageAndANormalCloseExitsWithZero) {
    Program program(Folder("with-library"));
    HWND window = program.MainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(program.TopLevel("#32770", "Tarnwick", false), nullptr);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.ExitCode(), 0u);
}

}  // namespace
