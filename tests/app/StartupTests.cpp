// The real program, started as a user starts it, driven through its windows:
// the start-up message when the port library is missing, where the library
// is looked for, an exception shown from a handler, and the exit code. Run
// under the null display driver; the folders are laid out by CMakeLists.txt.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "PlantedLibraries.h"

namespace {

std::wstring Folder(const std::wstring& name) {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring exe(path, n);
    return exe.substr(0, exe.find_last_of(L"\\/") + 1) + name + L"\\";
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

    // Tarnwick.exe of `folder`, in that folder or, with inheritWorkingDir,
    // in this program's current directory.
    explicit Program(const std::wstring& folder, bool inheritWorkingDir = false) {
        STARTUPINFOW si{};
        si.cb = sizeof si;
        std::wstring command = L"\"" + folder + L"Tarnwick.exe\"";
        EXPECT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                                   inheritWorkingDir ? nullptr : folder.c_str(), &si, &pi));
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
    Program program(Folder(L"no-library"));

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

    // Without the library a good address is still applied, and Set locks.
    SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("0X378"));
    PostMessageA(set, BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(set) ? nullptr : set; })) << "Set locks after success";

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.ExitCode(), 0u);
}

TEST(Startup, WithTheLibraryNoMessageAndANormalCloseExitsWithZero) {
    Program program(Folder(L"with-library"));
    HWND window = program.MainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(program.TopLevel("#32770", "Tarnwick", false), nullptr);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.ExitCode(), 0u);
}

// Libraries planted in the current directory and on PATH, none beside the
// program: it finds none, and loads neither planted copy.
TEST(Startup, PlantedLibrariesAreNeverLoaded) {
    const PlantedLibraries planted(Folder(L"traced") + L"inpout32.dll", Folder(L"planted"));
    ASSERT_TRUE(planted.planted());
    Program program(Folder(L"no-library"), true);
    HWND box = program.MessageBox();
    EXPECT_EQ(planted.Loaded(), "") << "planted libraries loaded from there";
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(BoxText(box), "LoadLibrary Failed.\n");
    Dismiss(box);
    HWND window = program.MainWindow();
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.ExitCode(), 0u);
}

// Whether the text has characters the ANSI code page lacks.
bool OutsideAnsiCodePage(const std::wstring& text) {
    BOOL lost = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(), -1, nullptr, 0, nullptr, &lost);
    return lost != FALSE;
}

// A folder whose name the ANSI calls can't spell ("port" in Greek and
// Chinese): the library beside the program is found and loaded.
TEST(Startup, LibraryIsFoundBesideTheProgramInAFolderNamedOutsideTheAnsiCodePage) {
    const std::wstring folder = Folder(L"\u03b8\u03c5\u03c1\u03b1-\u7aef\u53e3");
    ASSERT_TRUE(OutsideAnsiCodePage(folder));
    CreateDirectoryW(folder.c_str(), nullptr);
    DeleteFileW((folder + L"inpout32.dll.loaded").c_str());
    ASSERT_TRUE(CopyFileW((Folder(L"no-library") + L"Tarnwick.exe").c_str(), (folder + L"Tarnwick.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((Folder(L"traced") + L"inpout32.dll").c_str(), (folder + L"inpout32.dll").c_str(), FALSE));

    Program program(folder);
    HWND window = program.MainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(program.TopLevel("#32770", "Tarnwick", false), nullptr) << "no binding message";
    EXPECT_NE(GetFileAttributesW((folder + L"inpout32.dll.loaded").c_str()), INVALID_FILE_ATTRIBUTES)
        << "the library beside the program was loaded";
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.ExitCode(), 0u);
}

}  // namespace
