// The keyboard hook registry: the chain, the feed, removal under a running
// feed, and the watchers the toolkit glue listens with.
#include "platform/hook.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

using namespace platform;

struct Seen {
    int code;
    WPARAM message;
    KBDLLHOOKSTRUCT event;
};

// Procedures are plain functions: they reach their test through globals.
std::vector<Seen> g_first;
std::vector<Seen> g_second;
LRESULT g_firstResult = 1;
bool g_firstPasses = false;
HHOOK g_firstHandle = nullptr;

LRESULT firstProc(int code, WPARAM wParam, LPARAM lParam) {
    g_first.push_back({code, wParam, *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam)});
    if (g_firstPasses)
        return callNextHookEx(g_firstHandle, code, wParam, lParam);
    return g_firstResult;
}

LRESULT secondProc(int code, WPARAM wParam, LPARAM lParam) {
    g_second.push_back({code, wParam, *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam)});
    return 0;
}

class HookRegistry : public ::testing::Test {
  protected:
    void SetUp() override {
        g_first.clear();
        g_second.clear();
        g_firstResult = 1;
        g_firstPasses = false;
        g_firstHandle = nullptr;
    }
    void TearDown() override {
        for (HHOOK hook : installed_)
            unhookWindowsHookEx(hook);
        EXPECT_FALSE(keyboardHookInstalled());
    }
    HHOOK install(HOOKPROC proc) {
        HHOOK hook = setWindowsHookEx(WH_KEYBOARD_LL, proc, nullptr, 0);
        installed_.push_back(hook);
        return hook;
    }
    std::vector<HHOOK> installed_;
};

KBDLLHOOKSTRUCT key(std::uint32_t vk, std::uint32_t flags = 0) {
    KBDLLHOOKSTRUCT event;
    event.vkCode = vk;
    event.scanCode = 0x1e;
    event.flags = flags;
    event.time = 1234;
    return event;
}

TEST_F(HookRegistry, FeedReachesTheProcedureAndItsAnswerDecides) {
    EXPECT_FALSE(feedKeyEvent(WM_KEYDOWN, key(0x41))) << "no hook, nothing swallowed";
    HHOOK hook = install(&firstProc);
    ASSERT_NE(hook, nullptr);
    EXPECT_TRUE(keyboardHookInstalled());

    EXPECT_TRUE(feedKeyEvent(WM_KEYDOWN, key(0x41)));
    g_firstResult = 0;
    EXPECT_FALSE(feedKeyEvent(WM_SYSKEYUP, key(0xA5, LLKHF_EXTENDED | LLKHF_UP | LLKHF_ALTDOWN)));

    ASSERT_EQ(g_first.size(), 2u);
    EXPECT_EQ(g_first[0].code, HC_ACTION);
    EXPECT_EQ(g_first[0].message, WM_KEYDOWN);
    EXPECT_EQ(g_first[0].event.vkCode, 0x41u);
    EXPECT_EQ(g_first[0].event.scanCode, 0x1eu);
    EXPECT_EQ(g_first[0].event.time, 1234u);
    EXPECT_EQ(g_first[1].message, WM_SYSKEYUP);
    EXPECT_EQ(g_first[1].event.vkCode, 0xA5u);
    EXPECT_EQ(g_first[1].event.flags, LLKHF_EXTENDED | LLKHF_UP | LLKHF_ALTDOWN);

    EXPECT_TRUE(unhookWindowsHookEx(hook));
    EXPECT_FALSE(keyboardHookInstalled());
    EXPECT_FALSE(feedKeyEvent(WM_KEYDOWN, key(0x42)));
    EXPECT_EQ(g_first.size(), 2u) << "a removed hook hears nothing";
    EXPECT_FALSE(unhookWindowsHookEx(hook)) << "a handle is removed once";
}

TEST_F(HookRegistry, OnlyLowLevelKeyboardHooksExist) {
    EXPECT_EQ(setWindowsHookEx(2 /* WH_KEYBOARD */, &firstProc, nullptr, 0), nullptr);
    EXPECT_EQ(setWindowsHookEx(WH_KEYBOARD_LL, nullptr, nullptr, 0), nullptr);
    EXPECT_FALSE(keyboardHookInstalled());
    EXPECT_FALSE(unhookWindowsHookEx(nullptr));
}

TEST_F(HookRegistry, NewestIsAskedFirstAndDecidesWhetherTheRestHear) {
    install(&secondProc);
    g_firstHandle = install(&firstProc);

    // The newest swallows without passing on: the older one hears nothing.
    EXPECT_TRUE(feedKeyEvent(WM_KEYDOWN, key(0x1B)));
    EXPECT_EQ(g_first.size(), 1u);
    EXPECT_TRUE(g_second.empty());

    // Passed on: the older one's answer (0) is the chain's.
    g_firstPasses = true;
    EXPECT_FALSE(feedKeyEvent(WM_KEYUP, key(0x1B, LLKHF_UP)));
    ASSERT_EQ(g_second.size(), 1u);
    EXPECT_EQ(g_second[0].message, WM_KEYUP);
    EXPECT_EQ(callNextHookEx(nullptr, HC_ACTION, WM_KEYDOWN, 0), 0) << "outside a feed";
}

// A procedure that removes itself, as a hook does when its window is gone.
HHOOK g_selfHandle = nullptr;
int g_selfCalls = 0;
LRESULT selfRemovingProc(int code, WPARAM wParam, LPARAM lParam) {
    ++g_selfCalls;
    EXPECT_TRUE(unhookWindowsHookEx(g_selfHandle));
    return callNextHookEx(g_selfHandle, code, wParam, lParam);
}

TEST_F(HookRegistry, AProcedureMayRemoveItselfAndPassTheEventOn) {
    install(&secondProc);
    g_selfHandle = setWindowsHookEx(WH_KEYBOARD_LL, &selfRemovingProc, nullptr, 0);
    g_selfCalls = 0;
    EXPECT_FALSE(feedKeyEvent(WM_KEYDOWN, key(0x41)));
    EXPECT_FALSE(feedKeyEvent(WM_KEYDOWN, key(0x42)));
    EXPECT_EQ(g_selfCalls, 1);
    ASSERT_EQ(g_second.size(), 2u);
    EXPECT_EQ(g_second[0].event.vkCode, 0x41u);
}

std::atomic<bool> g_removed{false};
std::atomic<int> g_lateCalls{0};
std::atomic<int> g_busyCalls{0};
LRESULT busyProc(int, WPARAM, LPARAM) {
    // A call must never begin, or still run, once its removal returned.
    if (g_removed.load())
        g_lateCalls.fetch_add(1);
    g_busyCalls.fetch_add(1);
    std::this_thread::yield();
    if (g_removed.load())
        g_lateCalls.fetch_add(1);
    return 1;
}

TEST_F(HookRegistry, RemovalWaitsForAFeedInProgressOnAnotherThread) {
    std::atomic<bool> stop{false};
    std::thread feeder([&] {
        while (!stop.load())
            feedKeyEvent(WM_KEYDOWN, key(0x41));
    });
    for (int round = 0; round < 200; ++round) {
        g_removed.store(false);
        HHOOK hook = setWindowsHookEx(WH_KEYBOARD_LL, &busyProc, nullptr, 0);
        ASSERT_NE(hook, nullptr);
        const int before = g_busyCalls.load();
        while (g_busyCalls.load() == before)
            std::this_thread::yield();
        ASSERT_TRUE(unhookWindowsHookEx(hook));
        g_removed.store(true);
    }
    stop.store(true);
    feeder.join();
    EXPECT_EQ(g_lateCalls.load(), 0);
}

TEST_F(HookRegistry, WatchersHearEveryInstallAndRemovalUntilRemoved) {
    std::vector<bool> heard;
    const int id = addHookWatcher([&] { heard.push_back(keyboardHookInstalled()); });
    HHOOK hook = install(&firstProc);
    unhookWindowsHookEx(hook);
    unhookWindowsHookEx(hook); // not installed: nothing to tell
    removeHookWatcher(id);
    install(&firstProc);
    EXPECT_EQ(heard, (std::vector<bool>{true, false}));
}

TEST_F(HookRegistry, AWatcherMayRemoveItselfWhileTold) {
    int calls = 0;
    int id = 0;
    id = addHookWatcher([&] {
        ++calls;
        removeHookWatcher(id);
    });
    install(&firstProc);
    install(&secondProc);
    EXPECT_EQ(calls, 1);
}

} // namespace
