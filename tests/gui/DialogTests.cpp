// How messages and exceptions reach the user, and that an exception in a
// handler never stops the program.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <stdexcept>
#include <string>

#include "Forms.h"
#include "MessageLog.h"
#include "Pump.h"
#include "StdCtrls.h"
#include "TestThread.h"

namespace {

TEST(ShowException, AddsAFullStopUnlessTheMessageEndsInPunctuation) {
    const struct {
        const char* message;
        const char* shown;
    } cases[] = {
        {"'zz' is not a valid integer value", "'zz' is not a valid integer value."},
        {"Done.", "Done."}, {"Stop!", "Stop!"}, {"(see above)", "(see above)"},
        {"Port:", "Port:."}, {"Why?", "Why?."}, {"Code 9", "Code 9."}, {"", ""},
    };
    for (const auto& c : cases) {
        MessageLog log;
        const Exception e(c.message);
        Application->ShowException(&e);
        ASSERT_EQ(log.shown.size(), 1u);
        EXPECT_EQ(log.shown[0].text, c.shown);
        EXPECT_EQ(log.shown[0].title, "Tarnwick");
        EXPECT_EQ(log.shown[0].flags, unsigned(MB_OK | MB_ICONSTOP));
    }
}

TEST(ShowMessage, PlainBoxWithTheApplicationTitle) {
    MessageLog log;
    ShowMessage("LoadLibrary Failed.\n");
    ASSERT_EQ(log.shown.size(), 1u);
    EXPECT_EQ(log.shown[0].text, "LoadLibrary Failed.\n");
    EXPECT_EQ(log.shown[0].title, "Tarnwick");
    EXPECT_EQ(log.shown[0].flags, unsigned(MB_OK));
}

// A timer whose handler throws on its first tick and counts the others.
struct ThrowingTimer {
    explicit ThrowingTimer(std::function<void()> raise) : timer(nullptr) {
        timer.SetInterval(10);
        timer.SetOnTimer([this, raise](TObject*) {
            if (ticks++ == 0) raise();
        });
    }
    TTimer timer;
    int ticks = 0;
};

TEST(HandlerExceptions, RuntimeExceptionIsShownAndTicksGoOn) {
    MessageLog log;
    ThrowingTimer t([] { throw EConvertError("'x' is not a valid integer value"); });
    ASSERT_TRUE(PumpUntil([&] { return t.ticks >= 3; }));
    EXPECT_EQ(log.Texts(), std::vector<std::string>{"'x' is not a valid integer value."});
}

TEST(HandlerExceptions, ForeignExceptionIsShownWithAnEmptyMessage) {
    MessageLog log;
    ThrowingTimer t([] { throw std::runtime_error("not ours"); });
    ASSERT_TRUE(PumpUntil([&] { return t.ticks >= 2; }));
    ASSERT_EQ(log.shown.size(), 1u);
    EXPECT_EQ(log.shown[0].text, "");
    EXPECT_EQ(log.shown[0].flags, unsigned(MB_OK | MB_ICONSTOP));
}

TEST(HandlerExceptions, EvenAnIntThrownFromAClickIsCaughtBeforeTheSystemSeesIt) {
    MessageLog log;
    TForm form(nullptr);
    auto* button = new TButton(&form);
    button->SetParent(&form);
    button->SetBounds(0, 0, 40, 40);
    int clicks = 0;
    button->OnClick = [&](TObject* sender) {
        EXPECT_EQ(sender, button);
        if (++clicks == 1) throw 42;
    };
    // The click arrives through the system's message dispatch, as a real one does.
    SendMessageA(button->Handle(), BM_CLICK, 0, 0);
    SendMessageA(button->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(log.Texts(), std::vector<std::string>{""});
}

// The text of a message box on screen, found by its title, then dismissed.
std::string DismissMessageBox(const char* title, bool* hasIcon) {
    for (int i = 0; i < 500; ++i) {
        if (HWND box = FindWindowA("#32770", title)) {
            std::string text;
            *hasIcon = false;
            for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
                char cls[32] = {}, buf[256] = {};
                GetClassNameA(c, cls, sizeof cls);
                if (lstrcmpiA(cls, "Static") != 0) continue;
                if (GetWindowLongA(c, GWL_STYLE) & SS_ICON) {
                    *hasIcon = *hasIcon || SendMessageA(c, STM_GETICON, 0, 0) != 0;
                    continue;
                }
                GetWindowTextA(c, buf, sizeof buf);
                text += buf;
            }
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            return text;
        }
        Sleep(10);
    }
    return "<no message box>";
}

TEST(RealDialogs, MessageAndExceptionBoxesShowTheirTextAndClose) {
    bool icon = true;
    std::string text;
    TestThread messageUser([&] { text = DismissMessageBox("Tarnwick", &icon); });
    ShowMessage("GetProcAddress for Oup32 Failed.\n");
    messageUser.join();
    EXPECT_EQ(text, "GetProcAddress for Oup32 Failed.\n");
    EXPECT_FALSE(icon);

    TestThread exceptionUser([&] { text = DismissMessageBox("Tarnwick", &icon); });
    const EConvertError e("'' is not a valid integer value");
    Application->ShowException(&e);
    exceptionUser.join();
    EXPECT_EQ(text, "'' is not a valid integer value.");
    EXPECT_TRUE(icon);
}

TEST(RealDialogs, TimersKeepTickingWhileAMessageIsOpen) {
    std::atomic<int> ticks{0};
    TTimer timer(nullptr);
    timer.SetInterval(10);
    timer.SetOnTimer([&](TObject*) { ++ticks; });
    std::atomic<int> ticksWhileOpen{-1};
    TestThread user([&] {
        bool icon;
        while (!FindWindowA("#32770", "Tarnwick")) Sleep(5);
        const int before = ticks;
        Sleep(300);
        ticksWhileOpen = ticks - before;
        DismissMessageBox("Tarnwick", &icon);
    });
    ShowMessage("waiting");
    user.join();
    EXPECT_GT(ticksWhileOpen.load(), 3);
}

}  // namespace
