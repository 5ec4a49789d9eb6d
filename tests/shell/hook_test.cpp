// The Qt side of the keyboard hook: Qt key events as virtual keys and hook
// messages, and the application filter with real key events on real
// widgets, with the device library's hook installed.
#include "gui_support.h"

#include "KeyHookFeed.h"
#include "VirtualKeys.h"
#include "hwi/Hook.h"

#include <QApplication>
#include <QDialog>
#include <QShortcut>
#include <QtTest/QTest>
#include <gtest/gtest.h>
#include <thread>

namespace {

using shell::NativeKeyCodes;
using namespace platform;

struct KeyCase {
    const char* what;
    int qtKey;
    Qt::KeyboardModifiers modifiers;
    quint32 nativeScanCode, nativeVirtualKey;
    NativeKeyCodes codes;
    std::uint32_t vk;
    bool extended;
};

TEST(VirtualKeys, QtKeysAndNativeCodesGiveTheSystemsCodes) {
    const auto None = NativeKeyCodes::None;
    const auto X11 = NativeKeyCodes::X11;
    const Qt::KeyboardModifiers no;
    const Qt::KeyboardModifiers pad = Qt::KeypadModifier;
    const KeyCase cases[] = {
        {"A", Qt::Key_A, no, 38, 0x61, X11, 0x41, false},
        {"A from the Qt key", Qt::Key_A, no, 0, 0, None, 0x41, false},
        {"shifted 8", Qt::Key_Asterisk, Qt::ShiftModifier, 0, 0, None, '8', false},
        {"back tab", Qt::Key_Backtab, Qt::ShiftModifier, 0, 0, None, 0x09, false},
        {"left Shift", Qt::Key_Shift, no, 50, 0xffe1, X11, 0xA0, false},
        {"right Shift", Qt::Key_Shift, no, 62, 0xffe2, X11, 0xA1, false},
        {"right Shift by keysym", Qt::Key_Shift, no, 0, 0xffe2, X11, 0xA1, false},
        {"Shift, nothing else known", Qt::Key_Shift, no, 0, 0, None, 0xA0, false},
        {"left Ctrl", Qt::Key_Control, no, 37, 0xffe3, X11, 0xA2, false},
        {"right Ctrl", Qt::Key_Control, no, 105, 0xffe4, X11, 0xA3, true},
        {"left Alt", Qt::Key_Alt, no, 64, 0xffe9, X11, 0xA4, false},
        {"right Alt", Qt::Key_Alt, no, 108, 0xffea, X11, 0xA5, true},
        {"AltGr", Qt::Key_AltGr, no, 108, 0xfe03, X11, 0xA5, true},
        {"AltGr from the Qt key", Qt::Key_AltGr, no, 0, 0, None, 0xA5, true},
        {"left Windows", Qt::Key_Super_L, no, 133, 0xffeb, X11, 0x5B, true},
        {"right Windows", Qt::Key_Super_R, no, 134, 0xffec, X11, 0x5C, true},
        {"Meta", Qt::Key_Meta, no, 0, 0, None, 0x5B, true},
        {"keypad 7, NumLock on", Qt::Key_7, pad, 79, 0xffb7, X11, 0x67, false},
        {"keypad 7, NumLock off", Qt::Key_Home, pad, 79, 0xff95, X11, 0x24, false},
        {"keypad 7 from the Qt key", Qt::Key_7, pad, 0, 0, None, 0x67, false},
        {"keypad 7 off from the Qt key", Qt::Key_Home, pad, 0, 0, None, 0x24, false},
        {"keypad 0, NumLock on", Qt::Key_0, pad, 90, 0xffb0, X11, 0x60, false},
        {"keypad 0, NumLock off", Qt::Key_Insert, pad, 0, 0, None, 0x2D, false},
        {"keypad point", Qt::Key_Period, pad, 91, 0xffae, X11, 0x6E, false},
        {"keypad point, NumLock off", Qt::Key_Delete, pad, 0, 0, None, 0x2E, false},
        {"keypad 5, NumLock off", Qt::Key_Clear, pad, 84, 0xff9d, X11, 0x0C, false},
        {"main 7", Qt::Key_7, no, 16, 0x37, X11, '7', false},
        {"Home of the cluster", Qt::Key_Home, no, 110, 0xff50, X11, 0x24, true},
        {"Home of the cluster from the Qt key", Qt::Key_Home, no, 0, 0, None, 0x24, true},
        {"Up of the cluster", Qt::Key_Up, no, 111, 0xff52, X11, 0x26, true},
        {"Up of the cluster from the Qt key", Qt::Key_Up, no, 0, 0, None, 0x26, true},
        {"keypad 8, NumLock off", Qt::Key_Up, pad, 80, 0xff97, X11, 0x26, false},
        {"Delete of the cluster", Qt::Key_Delete, no, 119, 0xffff, X11, 0x2E, true},
        {"PageDown of the cluster", Qt::Key_PageDown, no, 0, 0, None, 0x22, true},
        {"main Enter", Qt::Key_Return, no, 36, 0xff0d, X11, 0x0D, false},
        {"keypad Enter", Qt::Key_Enter, pad, 104, 0xff8d, X11, 0x0D, true},
        {"keypad Enter from the Qt key", Qt::Key_Enter, pad, 0, 0, None, 0x0D, true},
        {"keypad slash", Qt::Key_Slash, pad, 0, 0, None, 0x6F, true},
        {"main slash", Qt::Key_Slash, no, 0, 0, None, 0xBF, false},
        {"keypad star", Qt::Key_Asterisk, pad, 63, 0xffaa, X11, 0x6A, false},
        {"keypad plus", Qt::Key_Plus, pad, 0, 0, None, 0x6B, false},
        {"NumLock", Qt::Key_NumLock, no, 77, 0xff7f, X11, 0x90, true},
        {"the key left of Z", Qt::Key_Less, no, 94, 0x3c, X11, 0xE2, false},
        {"F10", Qt::Key_F10, no, 76, 0xffc7, X11, 0x79, false},
        {"a key without a code", Qt::Key_unknown, no, 0, 0, None, 0xFF, false},
    };
    for (const auto& c : cases) {
        const QKeyEvent event(QEvent::KeyPress, c.qtKey, c.modifiers, c.nativeScanCode,
                              c.nativeVirtualKey, 0);
        const shell::VirtualKey key = shell::virtualKeyOf(event, c.codes);
        EXPECT_EQ(key.vk, c.vk) << c.what;
        EXPECT_EQ(key.extended, c.extended) << c.what;
    }
}

TEST(VirtualKeys, ScanCodesAreTheSystemsOwn) {
    const QKeyEvent a(QEvent::KeyPress, Qt::Key_A, {}, 38, 0x61, 0);
    EXPECT_EQ(shell::virtualKeyOf(a, NativeKeyCodes::X11).scanCode, 0x1Eu);
    const QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, {}, 111, 0xff52, 0);
    EXPECT_EQ(shell::virtualKeyOf(up, NativeKeyCodes::X11).scanCode, 0x48u);
    const QKeyEvent rshift(QEvent::KeyPress, Qt::Key_Shift, {}, 62, 0xffe2, 0);
    EXPECT_EQ(shell::virtualKeyOf(rshift, NativeKeyCodes::X11).scanCode, 0x36u);
}

TEST(VirtualKeys, MessagesAndFlagsOfPressesAndReleases) {
    struct Case {
        const char* what;
        QEvent::Type type;
        int qtKey;
        Qt::KeyboardModifiers modifiers;
        quint32 nativeScanCode;
        unsigned message;
        std::uint32_t flags;
    };
    const Case cases[] = {
        {"A down", QEvent::KeyPress, Qt::Key_A, {}, 0, WM_KEYDOWN, 0},
        {"A up", QEvent::KeyRelease, Qt::Key_A, {}, 0, WM_KEYUP, LLKHF_UP},
        {"Alt down", QEvent::KeyPress, Qt::Key_Alt, {}, 64, WM_SYSKEYDOWN, LLKHF_ALTDOWN},
        {"Alt up", QEvent::KeyRelease, Qt::Key_Alt, Qt::AltModifier, 64, WM_KEYUP, LLKHF_UP},
        {"Tab down with Alt", QEvent::KeyPress, Qt::Key_Tab, Qt::AltModifier, 0, WM_SYSKEYDOWN,
         LLKHF_ALTDOWN},
        {"Tab up with Alt", QEvent::KeyRelease, Qt::Key_Tab, Qt::AltModifier, 0, WM_SYSKEYUP,
         LLKHF_ALTDOWN | LLKHF_UP},
        {"right Alt down",
         QEvent::KeyPress,
         Qt::Key_AltGr,
         {},
         108,
         WM_SYSKEYDOWN,
         LLKHF_ALTDOWN | LLKHF_EXTENDED},
        {"Ctrl+Alt+Delete", QEvent::KeyPress, Qt::Key_Delete, Qt::ControlModifier | Qt::AltModifier,
         119, WM_KEYDOWN, LLKHF_ALTDOWN | LLKHF_EXTENDED},
        {"F10", QEvent::KeyPress, Qt::Key_F10, {}, 0, WM_SYSKEYDOWN, 0},
        {"keypad Enter up", QEvent::KeyRelease, Qt::Key_Enter, Qt::KeypadModifier, 104, WM_KEYUP,
         LLKHF_UP | LLKHF_EXTENDED},
    };
    for (const auto& c : cases) {
        QKeyEvent event(c.type, c.qtKey, c.modifiers, c.nativeScanCode, 0, 0);
        event.setTimestamp(4321);
        const shell::HookKeyEvent hook = shell::hookKeyEventOf(event, NativeKeyCodes::X11);
        EXPECT_EQ(hook.message, c.message) << c.what;
        EXPECT_EQ(hook.event.flags, c.flags) << c.what;
        EXPECT_EQ(hook.event.time, 4321u) << c.what;
    }
}

// Records every key event that reaches it, before any handling of its own.
class KeyTarget : public QWidget {
  public:
    explicit KeyTarget(QWidget* parent = nullptr) : QWidget(parent) {
        setFocusPolicy(Qt::StrongFocus);
    }
    std::vector<std::pair<QEvent::Type, int>> keys;
    bool ignoreKeys = false;

  protected:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease) {
            keys.emplace_back(e->type(), static_cast<QKeyEvent*>(e)->key());
            if (ignoreKeys) {
                e->ignore();
                return false;
            }
        }
        return QWidget::event(e);
    }
};

std::vector<std::uintptr_t> hookKeys(MessageQueueWindow& window,
                                     std::vector<std::intptr_t>* lParams = nullptr) {
    std::vector<std::uintptr_t> out;
    for (const auto& m : window.take()) {
        if (m.message != UM_HOOK_KEY)
            continue;
        out.push_back(m.wParam);
        if (lParams)
            lParams->push_back(m.lParam);
    }
    return out;
}

class HookFeed : public ::testing::Test {
  protected:
    void SetUp() override {
        target.resize(120, 80);
        target.show();
        target.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&target));
        target.setFocus();
    }
    void TearDown() override {
        UninstallHook();
        EXPECT_EQ(QWidget::keyboardGrabber(), nullptr);
    }

    // Esc, Tab, then Alt+F (Alt down, F down and up, Alt up).
    void typeKeys() {
        QTest::keyClick(&target, Qt::Key_Escape);
        QTest::keyClick(&target, Qt::Key_Tab);
        QTest::keyClick(&target, Qt::Key_F, Qt::AltModifier);
    }

    shell::KeyHookFeed feed{NativeKeyCodes::None, nullptr};
    KeyTarget target;
    MessageQueueWindow editor;
};

TEST_F(HookFeed, WithoutAHookKeysReachTheWidget) {
    int shortcuts = 0;
    QShortcut altF(QKeySequence(Qt::ALT | Qt::Key_F), &target);
    QObject::connect(&altF, &QShortcut::activated, [&] { ++shortcuts; });
    typeKeys();
    const std::vector<std::pair<QEvent::Type, int>> expected = {
        {QEvent::KeyPress, Qt::Key_Escape},
        {QEvent::KeyRelease, Qt::Key_Escape},
        {QEvent::KeyPress, Qt::Key_Tab},
        {QEvent::KeyRelease, Qt::Key_Tab},
        {QEvent::KeyPress, Qt::Key_Alt},
        {QEvent::KeyRelease, Qt::Key_F}, // the shortcut took the press
        {QEvent::KeyRelease, Qt::Key_Alt},
    };
    EXPECT_EQ(target.keys, expected);
    EXPECT_EQ(shortcuts, 1);
    EXPECT_TRUE(hookKeys(editor).empty());
    EXPECT_EQ(feed.grabbedWindow(), nullptr);
}

TEST_F(HookFeed, WhileAHookIsInstalledEveryKeyGoesToItAndNowhereElse) {
    int shortcuts = 0;
    QShortcut altF(QKeySequence(Qt::ALT | Qt::Key_F), &target);
    QObject::connect(&altF, &QShortcut::activated, [&] { ++shortcuts; });
    InstallHook(editor.handle());
    EXPECT_EQ(QWidget::keyboardGrabber(), &target);
    EXPECT_EQ(feed.grabbedWindow(), &target);

    typeKeys();
    QTest::keyClick(&target, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(&target, Qt::Key_Meta);

    EXPECT_TRUE(target.keys.empty());
    EXPECT_EQ(shortcuts, 0);
    std::vector<std::intptr_t> lParams;
    const std::vector<std::uintptr_t> expected = {
        0x1B,       0x8000001B, // Esc
        0x09,       0x80000009, // Tab
        0x400000A4,             // Alt down
        0x40000046, 0xC0000046, // F with Alt
        0x800000A4,             // Alt up
        0x0D,       0x8000000D, // keypad Enter
        0x5B,       0x8000005B, // Windows key
    };
    EXPECT_EQ(hookKeys(editor, &lParams), expected);
    ASSERT_EQ(lParams.size(), expected.size());
    EXPECT_EQ(lParams[0], 0);
    EXPECT_EQ(lParams[8], 0x01000000) << "keypad Enter is extended";
    EXPECT_EQ(lParams[10], 0x01000000);

    UninstallHook();
    EXPECT_EQ(QWidget::keyboardGrabber(), nullptr);
    EXPECT_EQ(feed.grabbedWindow(), nullptr);
    QTest::keyClick(&target, Qt::Key_Escape);
    EXPECT_EQ(target.keys.size(), 2u) << "keys take their normal route again";
    EXPECT_TRUE(hookKeys(editor).empty());
}

TEST_F(HookFeed, EscDoesNotCloseADialogWhileAHookListens) {
    QDialog dialog;
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    InstallHook(editor.handle());
    EXPECT_EQ(QWidget::keyboardGrabber(), &dialog) << "the grab is the active window's";
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(hookKeys(editor).size(), 2u);
    UninstallHook();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(HookFeed, TheGrabFollowsTheActiveWindowAndHooksOfOtherThreads) {
    InstallHook(editor.handle());
    // A window opened during the capture (a message box) takes the grab.
    QWidget box;
    box.resize(60, 40);
    box.show();
    box.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
    EXPECT_EQ(QWidget::keyboardGrabber(), &box);
    QTest::keyClick(&box, Qt::Key_A);
    EXPECT_EQ(hookKeys(editor), (std::vector<std::uintptr_t>{0x41, 0x80000041}));
    UninstallHook();
    EXPECT_EQ(QWidget::keyboardGrabber(), nullptr);

    // Installed and removed elsewhere: the grab follows on the UI thread.
    std::thread([&] { InstallHook(editor.handle()); }).join();
    QTRY_COMPARE(QWidget::keyboardGrabber(), &box);
    std::thread([] { UninstallHook(); }).join();
    QTRY_COMPARE(QWidget::keyboardGrabber(), static_cast<QWidget*>(nullptr));
}

int g_passingCalls = 0;
LRESULT passingProc(int, WPARAM, LPARAM) {
    ++g_passingCalls;
    return 0;
}

TEST_F(HookFeed, AKeyTheHookPassesIsHeardOnceAndGoesOnItsWay) {
    KeyTarget child(&target);
    child.ignoreKeys = true;
    child.show();
    HHOOK hook = setWindowsHookEx(WH_KEYBOARD_LL, &passingProc, nullptr, 0);
    g_passingCalls = 0;
    QTest::keyClick(&child, Qt::Key_B);
    QTest::keyClick(&child, Qt::Key_B);
    unhookWindowsHookEx(hook);
    // Two presses and two releases, each offered to the child and then to
    // its parent.
    EXPECT_EQ(g_passingCalls, 4);
    EXPECT_EQ(child.keys.size(), 4u);
    EXPECT_EQ(target.keys.size(), 4u);
}

} // namespace
