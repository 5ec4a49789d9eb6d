#include "hwi/Hook.h"

#include <atomic>
#include <dlfcn.h>

using platform::HHOOK;
using platform::KBDLLHOOKSTRUCT;
using platform::LPARAM;
using platform::LRESULT;
using platform::WPARAM;

namespace {

// The hook's state, in a section of its own: the hook handle, then the
// window the messages go to. Atomic, as the feed and the install may run on
// different threads; each is one pointer wide, like the plain values.
struct HookData {
    std::atomic<HHOOK> hook;
    std::atomic<HWND> target;
};
static_assert(sizeof(HookData) == 2 * sizeof(void*));

__attribute__((section("hookdata"), used)) HookData g_hookData{};

// The library's own module, found when it is loaded.
void* g_module = nullptr;

__attribute__((constructor)) void attachModule() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<const void*>(&g_hookData), &info) != 0)
        g_module = info.dli_fbase;
}

constexpr std::uintptr_t kReleaseBit = 0x80000000u;
constexpr std::uintptr_t kSystemBit = 0x40000000u;
constexpr LPARAM kExtendedBit = 0x01000000;

std::uintptr_t messageBits(WPARAM message) {
    switch (message) {
    case platform::WM_KEYUP:
        return kReleaseBit;
    case platform::WM_SYSKEYDOWN:
        return kSystemBit;
    case platform::WM_SYSKEYUP:
        return kReleaseBit | kSystemBit;
    default:
        return 0;
    }
}

} // namespace

void InstallHook(HWND target) {
    g_hookData.target.store(target);
    // A second install without a removal would otherwise leave the first
    // hook swallowing every key for ever.
    if (const HHOOK previous = g_hookData.hook.exchange(nullptr))
        platform::unhookWindowsHookEx(previous);
    g_hookData.hook.store(
        platform::setWindowsHookEx(platform::WH_KEYBOARD_LL, &KeyBoardProc, g_module, 0));
}

void UninstallHook() {
    platform::unhookWindowsHookEx(g_hookData.hook.load());
}

LRESULT KeyBoardProc(int code, WPARAM wParam, LPARAM lParam) {
    const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    if (!event)
        return platform::callNextHookEx(g_hookData.hook.load(), code, wParam, lParam);
    const std::uintptr_t keyParam = event->vkCode | messageBits(wParam);
    const LPARAM flagParam = (event->flags & platform::LLKHF_EXTENDED) ? kExtendedBit : 0;
    const HWND target = g_hookData.target.load();
    if (!platform::postMessage(target, platform::UM_HOOK_KEY, keyParam, flagParam) &&
        !platform::isWindow(target)) {
        // The window that asked for the keys is gone, and with it the
        // capture: the hook goes too and the key takes its normal route.
        platform::unhookWindowsHookEx(g_hookData.hook.load());
        return platform::callNextHookEx(nullptr, code, wParam, lParam);
    }
    return 1;
}
