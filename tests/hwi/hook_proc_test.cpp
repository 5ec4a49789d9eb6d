// The library's keyboard hook: what one key event posts, what it swallows,
// and that no hook is left behind by a second install or a closed window.
#include "hwi/Hook.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

using namespace platform;

struct Posted {
    std::uintptr_t wParam;
    std::intptr_t lParam;
};

std::vector<Posted> hookMessages(MessageQueueWindow& window) {
    std::vector<Posted> out;
    for (const auto& m : window.take()) {
        EXPECT_EQ(m.message, 1126u);
        out.push_back({m.wParam, m.lParam});
    }
    return out;
}

bool feed(unsigned message, std::uint32_t vk, std::uint32_t flags = 0) {
    KBDLLHOOKSTRUCT event;
    event.vkCode = vk;
    event.flags = flags;
    return feedKeyEvent(message, event);
}

class LibraryHook : public ::testing::Test {
  protected:
    void TearDown() override {
        UninstallHook();
        EXPECT_FALSE(keyboardHookInstalled());
    }
};

TEST_F(LibraryHook, EachKindOfEventPostsItsCodeAndBitsAndIsSwallowed) {
    MessageQueueWindow window;
    InstallHook(window.handle());
    ASSERT_TRUE(keyboardHookInstalled());

    struct Case {
        unsigned message;
        std::uint32_t vk, flags;
        std::uintptr_t wParam;
        std::intptr_t lParam;
    };
    const Case cases[] = {
        {WM_KEYDOWN, 0x41, 0, 0x41, 0},
        {WM_KEYUP, 0x41, LLKHF_UP, 0x80000041u, 0},
        {WM_SYSKEYDOWN, 0xA5, LLKHF_EXTENDED | LLKHF_ALTDOWN, 0x400000A5u, 0x01000000},
        {WM_SYSKEYUP, 0x09, LLKHF_UP | LLKHF_ALTDOWN, 0xC0000009u, 0},
        {WM_KEYDOWN, 0x0D, LLKHF_EXTENDED, 0x0D, 0x01000000}, // keypad Enter
        {0x0102 /* any other */, 0x20, 0, 0x20, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.wParam);
        EXPECT_TRUE(feed(c.message, c.vk, c.flags)) << "swallowed";
        const auto posted = hookMessages(window);
        ASSERT_EQ(posted.size(), 1u);
        EXPECT_EQ(posted[0].wParam, c.wParam);
        EXPECT_EQ(posted[0].lParam, c.lParam);
    }
}

TEST_F(LibraryHook, AfterUninstallKeysPassAndNothingIsPosted) {
    MessageQueueWindow window;
    InstallHook(window.handle());
    UninstallHook();
    EXPECT_FALSE(keyboardHookInstalled());
    EXPECT_FALSE(feed(WM_KEYDOWN, 0x41));
    EXPECT_TRUE(hookMessages(window).empty());
    UninstallHook(); // again: harmless
}

TEST_F(LibraryHook, ASecondInstallReplacesTheFirstSoOneUninstallLeavesNone) {
    MessageQueueWindow first, second;
    InstallHook(first.handle());
    InstallHook(second.handle());
    EXPECT_TRUE(feed(WM_KEYDOWN, 0x42));
    EXPECT_TRUE(hookMessages(first).empty());
    EXPECT_EQ(hookMessages(second).size(), 1u) << "one hook, one message";
    UninstallHook();
    EXPECT_FALSE(keyboardHookInstalled());
    EXPECT_FALSE(feed(WM_KEYDOWN, 0x42));
}

TEST_F(LibraryHook, AHookWhoseWindowClosedRemovesItselfAndLetsTheKeyThrough) {
    auto window = std::make_unique<MessageQueueWindow>();
    InstallHook(window->handle());
    window.reset();
    EXPECT_FALSE(feed(WM_KEYDOWN, 0x1B)) << "the key is not lost";
    EXPECT_FALSE(keyboardHookInstalled());

    InstallHook(nullptr);
    EXPECT_FALSE(feed(WM_KEYDOWN, 0x1B));
    EXPECT_FALSE(keyboardHookInstalled());
}

TEST_F(LibraryHook, TheProcedurePostsWhateverTheCodeAndRefusesNoEvent) {
    MessageQueueWindow window;
    InstallHook(window.handle());
    KBDLLHOOKSTRUCT event;
    event.vkCode = 0x5B;
    event.flags = LLKHF_EXTENDED;
    EXPECT_EQ(KeyBoardProc(-1, WM_KEYDOWN, reinterpret_cast<LPARAM>(&event)), 1);
    const auto posted = hookMessages(window);
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].wParam, 0x5Bu);
    EXPECT_EQ(posted[0].lParam, 0x01000000);
    // No event to read: nothing posted, nothing swallowed, no crash.
    EXPECT_EQ(KeyBoardProc(HC_ACTION, WM_KEYDOWN, 0), 0);
    EXPECT_TRUE(hookMessages(window).empty());
}

} // namespace
