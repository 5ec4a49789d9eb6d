// The key editor's captures: hook messages decoded (release bit, keypad
// Enter, left and right Shift, the time between messages), a single key
// captured and stored, combinations recorded from real key events, the
// message for a key the tables do not map back, and the hook removed however
// the editor ends.
#include "key_editor_support.h"

#include "KeyCapture.h"
#include "KeyHookFeed.h"
#include "TavoApp.h"
#include "TavoModel.h"
#include "platform/hook.h"

#include <QPlainTextEdit>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {

using namespace key_editor_test;
using shell::HookKey;
using shell::KeyCapture;

constexpr std::uintptr_t kUp = 0x80000000u;
constexpr std::uintptr_t kSystem = 0x40000000u;
constexpr std::intptr_t kExtended = 0x01000000;

class FakeShift final : public shell::ShiftKeyStates {
  public:
    int left = 0, right = 0;
    bool leftDown = false, rightDown = false;
    int keyState(int vk) const override { return vk == shell::VK_LSHIFT ? left : right; }
    bool asyncDown(int vk) const override { return vk == shell::VK_LSHIFT ? leftDown : rightDown; }
};

TEST(KeyCaptureDecode, KeyCodesOfHookMessages) {
    const struct {
        const char* what;
        std::uintptr_t wParam;
        std::intptr_t lParam;
        int code;
        bool released;
    } cases[] = {
        {"A down", 0x41, 0, 0x41, false},
        {"A up", kUp | 0x41, 0, 0x241, true},
        {"system bit ignored", kSystem | 0x46, 0, 0x46, false},
        {"system key up", kUp | kSystem | 0x46, 0, 0x246, true},
        {"main Enter", 0x0D, 0, 13, false},
        {"keypad Enter", 0x0D, kExtended, 269, false},
        {"keypad Enter released keeps the plain code", kUp | 0x0D, kExtended, 0x20D, true},
        {"extended arrow", 0x26, kExtended, 0x26, false},
        {"left Shift as such", 0xA0, 0, 160, false},
        {"bits above the code", 0x1141, 0, 0x41, false},
    };
    for (const auto& c : cases) {
        KeyCapture capture;
        capture.start();
        const HookKey key = capture.decode(c.wParam, c.lParam);
        EXPECT_EQ(key.code, c.code) << c.what;
        EXPECT_EQ(key.released, c.released) << c.what;
    }
}

TEST(KeyCaptureDecode, ABareShiftIsTheKeyWhoseStateChanged) {
    KeyCapture::forgetRememberedShiftStates();
    FakeShift states;
    KeyCapture capture;
    capture.setShiftStates(&states);
    capture.start();
    // Presses: the key held now.
    states.rightDown = true;
    EXPECT_EQ(capture.decode(0x10, 0).code, 161);
    states.leftDown = true;
    EXPECT_EQ(capture.decode(0x10, 0).code, 160);
    states.leftDown = states.rightDown = false;
    EXPECT_EQ(capture.decode(0x10, 0).code, 16) << "nothing held: undecided";
    // Releases: the key whose state differs from the one remembered at the
    // last release.
    states.left = 1;
    EXPECT_EQ(capture.decode(kUp | 0x10, 0).code, 0x200 | 160);
    EXPECT_EQ(capture.decode(kUp | 0x10, 0).code, 0x200 | 16) << "both remembered";
    states.right = 1;
    EXPECT_EQ(capture.decode(kUp | 0x10, 0).code, 0x200 | 161);
    KeyCapture::forgetRememberedShiftStates();
}

TEST(KeyCaptureDecode, TimeSinceThePreviousMessage) {
    std::int64_t now = 0;
    KeyCapture capture;
    capture.setCounter([&] { return now; }, 1000000);
    capture.start();
    now = 5000000;
    HookKey first = capture.decode(0x41, 0);
    EXPECT_FALSE(first.hasPrevious);
    capture.finish(first);
    EXPECT_EQ(capture.lastKeyCode(), 0x41);
    now += 1234567;
    HookKey second = capture.decode(kUp | 0x41, 0);
    EXPECT_TRUE(second.hasPrevious);
    EXPECT_EQ(second.elapsedMs, 1234);
    capture.finish(second);
    now += std::int64_t(1000000) * 100; // 100 s
    EXPECT_EQ(capture.decode(0x42, 0).elapsedMs, 65535);
    capture.start();
    EXPECT_EQ(capture.lastKeyCode(), -1);

    EXPECT_EQ(shell::elapsedMilliseconds(10, 5, 1000), 0);
    EXPECT_EQ(shell::elapsedMilliseconds(0, INT64_MAX, 3), 65535);
    EXPECT_EQ(shell::elapsedMilliseconds(0, 2999, 3000), 999);
}

TEST(KeyCaptureDecode, PressesAndReleasesPairUp) {
    KeyCapture capture;
    capture.start();
    const HookKey down{0x41, 0x41, false}, up{0x241, 0x41, true};
    EXPECT_FALSE(capture.takeTransition(up)) << "a release whose press came before the start";
    EXPECT_TRUE(capture.takeTransition(down));
    EXPECT_FALSE(capture.takeTransition(down)) << "auto-repeat";
    EXPECT_TRUE(capture.takeTransition(up));
    capture.start();
    EXPECT_TRUE(capture.takeTransition(down));
}

// A press and release handed to the hook registry as the feed hands them on.
void feedVirtualKey(std::uint32_t vk) {
    platform::KBDLLHOOKSTRUCT event;
    event.vkCode = vk;
    platform::feedKeyEvent(platform::WM_KEYDOWN, event);
    event.flags = platform::LLKHF_UP;
    platform::feedKeyEvent(platform::WM_KEYUP, event);
    deliverPosted();
}

// Opens key 7 in combination mode with one new entry, records keys and
// presses OK.
struct Recorded {
    std::vector<std::wstring> list;
    int mode = -1;
    QString shown;
};

Recorded recordCombination(const std::function<void(Editor&)>& keys) {
    Recorded out;
    ProgramRun run;
    run([&](MainDlg& main) {
        editKey(main, 7, [&](Editor& editor) {
            clickElement(editor, 102);
            clickElement(editor, 105); // New: opens the name editor
            clickElement(editor, 107); // stores the name, nothing more
            EXPECT_FALSE(editor.comboRecording());
            clickElement(editor, 107);
            EXPECT_TRUE(editor.comboRecording());
            EXPECT_TRUE(platform::keyboardHookInstalled());
            keys(editor);
            shell_test::grabImage(editor);
            out.shown = editor.comboEdit()->toPlainText();
            clickElement(editor, 88); // stops the recording, then OK
        });
        out.list = g_model.keyList[7][0].items;
        out.mode = g_model.keyMode[7][0];
        EXPECT_FALSE(platform::keyboardHookInstalled());
        ASSERT_EQ(g_model.predefinedCombos.Count(), 1);
        EXPECT_EQ(g_model.predefinedCombos.GetItem(0), L"키 조합1");
        EXPECT_EQ(g_model.predefinedCombos.GetSubList(0).items, out.list);
    });
    return out;
}

TEST(KeyEditorCombination, RecordsEachNewKeyPressOnce) {
    using V = std::vector<std::wstring>;
    const struct {
        const char* what;
        std::function<void(Editor&)> keys;
        V names;
    } cases[] = {
        {"A, B, A",
         [](Editor& e) {
             tap(e, Qt::Key_A, 38);
             tap(e, Qt::Key_B, 56);
             tap(e, Qt::Key_A, 38);
         },
         {L"A", L"B", L"A"}},
        {"A held: its repeats are the same key",
         [](Editor& e) {
             sendKey(e, QEvent::KeyPress, Qt::Key_A, 38);
             for (int i = 0; i < 3; ++i)
                 sendKey(e, QEvent::KeyPress, Qt::Key_A, 38, {}, true);
             sendKey(e, QEvent::KeyRelease, Qt::Key_A, 38);
         },
         {L"A"}},
        {"A twice, released between",
         [](Editor& e) {
             tap(e, Qt::Key_A, 38);
             tap(e, Qt::Key_A, 38);
         },
         {L"A", L"A"}},
        {"left and right Shift, Enter and the keypad Enter",
         [](Editor& e) {
             // Shift as the feed hands it on where the platform tells the
             // two apart (the Qt key alone does not).
             feedVirtualKey(shell::VK_LSHIFT);
             feedVirtualKey(shell::VK_RSHIFT);
             tap(e, Qt::Key_Return);
             tap(e, Qt::Key_Enter, 0, Qt::KeypadModifier);
         },
         {L"Left SHIFT", L"Right SHIFT", L"ENTER", L"(Enter)"}},
        {"seven keys keep six",
         [](Editor& e) {
             for (int k :
                  {Qt::Key_A, Qt::Key_B, Qt::Key_C, Qt::Key_D, Qt::Key_E, Qt::Key_F, Qt::Key_G})
                 tap(e, k);
             EXPECT_TRUE(e.comboRecording()) << "the recording goes on";
         },
         {L"A", L"B", L"C", L"D", L"E", L"F"}},
    };
    for (const auto& c : cases) {
        const Recorded r = recordCombination(c.keys);
        EXPECT_EQ(r.list, c.names) << c.what;
        EXPECT_EQ(r.mode, MODE_COMBO) << c.what;
        QStringList joined;
        for (const auto& n : c.names)
            joined << QString::fromStdWString(n);
        EXPECT_EQ(r.shown, joined.join(" + ")) << c.what;
    }
}

TEST(KeyEditorSingleKey, ACapturedKeyIsStoredOnOkAndHighlighted) {
    ProgramRun run;
    run([&](MainDlg& main) {
        const QPoint key5 = keyCentre(main, 5);
        const QColor before = shell_test::grabImage(main).pixelColor(key5);
        const int result = editKey(main, 5, [&](Editor& editor) {
            EXPECT_EQ(editor.currentPage(), 1);
            EXPECT_TRUE(editor.singleMode());
            clickElement(editor, 104);
            EXPECT_TRUE(editor.captureRunning());
            EXPECT_TRUE(editor.hookInstalled());
            EXPECT_FALSE(editor.element(154)->textVisible);
            EXPECT_TRUE(editor.element(155)->textVisible);
            tap(editor, Qt::Key_Q);
            tap(editor, Qt::Key_Escape); // the hook has it, not the dialog
            EXPECT_TRUE(editor.isVisible());
            tap(editor, Qt::Key_A);
            shell_test::grabImage(editor);
            EXPECT_EQ(editor.element(158)->text.at("zh-CN"), L"A");
            EXPECT_TRUE(run.prompts.messages.empty());
            clickElement(editor, 88);
        });
        EXPECT_EQ(result, shell::IDOK);
        EXPECT_FALSE(platform::keyboardHookInstalled());
        EXPECT_EQ(g_model.keyMode[5][0], MODE_SINGLE);
        EXPECT_EQ(g_model.keyHWCode[5][0], g_model.keyCodeToHW['A']);
        EXPECT_GT(g_model.keyHWCode[5][0], 0);
        const QColor after = shell_test::grabImage(main).pixelColor(key5);
        EXPECT_NE(after, before);
        EXPECT_EQ(after, QColor(0, 0, 220)) << "the main window marks the assigned key";

        // Opened again, it shows the key; a click elsewhere stops a capture
        // without closing.
        editKey(main, 5, [&](Editor& editor) {
            EXPECT_EQ(editor.singleKey(), 'A');
            clickElement(editor, 104);
            clickElement(editor, 103);
            EXPECT_FALSE(editor.captureRunning());
            EXPECT_FALSE(platform::keyboardHookInstalled());
            EXPECT_TRUE(editor.isVisible());
            // In combination mode the capture button does nothing.
            clickElement(editor, 102);
            clickElement(editor, 104);
            EXPECT_FALSE(editor.captureRunning());
        });
        EXPECT_EQ(g_model.keyHWCode[5][0], g_model.keyCodeToHW['A']);
    });
}

TEST(KeyEditorSingleKey, AKeyTheTablesDoNotMapBackIsToldAndTheCaptureGoesOn) {
    ProgramRun run;
    run([&](MainDlg& main) {
        editKey(main, 9, [&](Editor& editor) {
            clickElement(editor, 104);
            tap(editor, Qt::Key_F20); // no virtual key of its own: 255
            const int hw = g_model.keyCodeToHW[255];
            const int back = g_model.HWCodeToKeyCode(hw);
            ASSERT_NE(back, 255);
            ASSERT_EQ(run.prompts.messages.size(), 1u);
            EXPECT_EQ(run.prompts.messages[0].text,
                      L"a=255, b=" + std::to_wstring(hw) + L", c=" + std::to_wstring(back));
            EXPECT_TRUE(editor.captureRunning());
            EXPECT_EQ(editor.singleKey(), back);
            tap(editor, Qt::Key_B);
            EXPECT_EQ(editor.singleKey(), 'B');
            clickElement(editor, 88);
        });
        EXPECT_EQ(g_model.keyHWCode[9][0], g_model.keyCodeToHW['B']);
    });
}

// Every way the editor can end leaves no hook behind.
TEST(KeyEditorEnding, TheHookNeverOutlivesTheEditor) {
    enum class Start { Capture, Combination };
    const struct {
        const char* what;
        Start start;
        std::function<void(MainDlg&, Editor&, ProgramRun&)> end;
        int result;
    } cases[] = {
        {"OK", Start::Capture, [](MainDlg&, Editor& e, ProgramRun&) { clickElement(e, 88); },
         shell::IDOK},
        {"Cancel", Start::Capture, [](MainDlg&, Editor& e, ProgramRun&) { clickElement(e, 89); },
         shell::IDCANCEL},
        {"the close button", Start::Combination,
         [](MainDlg&, Editor& e, ProgramRun&) {
             clickElement(e, 97); // stops the recording only
             EXPECT_TRUE(e.isVisible());
             clickElement(e, 97);
         },
         shell::IDCANCEL},
        {"OK during a recording", Start::Combination,
         [](MainDlg&, Editor& e, ProgramRun&) { clickElement(e, 88); }, shell::IDOK},
        {"closed from outside", Start::Capture, [](MainDlg&, Editor& e, ProgramRun&) { e.close(); },
         shell::IDCANCEL},
        {"rejected by its owner", Start::Combination,
         [](MainDlg&, Editor& e, ProgramRun&) { e.reject(); }, shell::IDCANCEL},
        {"the keyboard went away", Start::Capture,
         [](MainDlg& main, Editor&, ProgramRun& run) {
             run.attached.reset();
             main.deviceChanged();
         },
         shell::IDCANCEL},
    };
    for (const auto& c : cases) {
        ProgramRun run;
        run([&](MainDlg& main) {
            if (c.start == Start::Combination) {
                CItemList entry(6);
                entry.SetItem(200000, L"one");
                g_model.predefinedCombos.Assign(entry);
            }
            const int result = editKey(main, 12, [&](Editor& editor) {
                if (c.start == Start::Combination)
                    clickElement(editor, 102);
                clickElement(editor, c.start == Start::Capture ? 104 : 107);
                ASSERT_TRUE(platform::keyboardHookInstalled()) << c.what;
                c.end(main, editor, run);
                EXPECT_FALSE(editor.isVisible()) << c.what;
                EXPECT_FALSE(platform::keyboardHookInstalled()) << c.what;
            });
            EXPECT_EQ(result, c.result) << c.what;
            EXPECT_FALSE(platform::keyboardHookInstalled()) << c.what;
        });
    }

    // Destroyed while it listens.
    ProgramRun run;
    run([&](MainDlg& main) {
        auto* editor = new Editor(*shell::CTavoApp::current(), &main);
        editor->show();
        clickElement(*editor, 104);
        EXPECT_TRUE(platform::keyboardHookInstalled());
        delete editor;
        EXPECT_FALSE(platform::keyboardHookInstalled());
    });
}

} // namespace
