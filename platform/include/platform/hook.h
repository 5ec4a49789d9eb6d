// The low-level keyboard hook registry: hook procedures installed in a chain
// (the newest is asked first), and the feed through which the toolkit glue
// hands every key event of the program to them. A procedure that returns
// non-zero swallows the event. One registry per process, shared by the
// device library and the program.
#pragma once

#include <cstdint>
#include <functional>

namespace platform {

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

struct PlatformHook;
using HHOOK = PlatformHook*;

constexpr int WH_KEYBOARD_LL = 13;
constexpr int HC_ACTION = 0;

// The key messages a low-level keyboard procedure receives as wParam.
constexpr unsigned WM_KEYDOWN = 0x0100;
constexpr unsigned WM_KEYUP = 0x0101;
constexpr unsigned WM_SYSKEYDOWN = 0x0104;
constexpr unsigned WM_SYSKEYUP = 0x0105;

// Event flags.
constexpr std::uint32_t LLKHF_EXTENDED = 0x01;
constexpr std::uint32_t LLKHF_ALTDOWN = 0x20;
constexpr std::uint32_t LLKHF_UP = 0x80;

// One key event; lParam of the procedure points to it.
struct KBDLLHOOKSTRUCT {
    std::uint32_t vkCode = 0;
    std::uint32_t scanCode = 0;
    std::uint32_t flags = 0;
    std::uint32_t time = 0; // milliseconds
    std::uintptr_t dwExtraInfo = 0;
};

// code, message (WM_KEYDOWN ...), event (KBDLLHOOKSTRUCT*).
using HOOKPROC = LRESULT (*)(int code, WPARAM wParam, LPARAM lParam);

// Adds proc at the head of the chain. Only WH_KEYBOARD_LL exists; any other
// type, or a null procedure, gives a null handle. The module and thread are
// recorded for the caller's sake only: every procedure is system-wide and
// runs on the thread that feeds the event.
HHOOK setWindowsHookEx(int idHook, HOOKPROC proc, void* module, unsigned threadId);
// Removes a hook. When it returns, the procedure is not running on any other
// thread and is never called again; a procedure may remove itself. False
// for a handle that is not installed (handles are never reused).
bool unhookWindowsHookEx(HHOOK hook);
// From inside a procedure: asks the rest of the chain. 0 when no procedure
// is left; outside a feed it does nothing and returns 0.
LRESULT callNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);

// The toolkit glue: one call per key event, message being WM_KEYDOWN,
// WM_KEYUP, WM_SYSKEYDOWN or WM_SYSKEYUP. True when a procedure swallowed
// it. Any thread; feeds are taken one at a time.
bool feedKeyEvent(unsigned message, const KBDLLHOOKSTRUCT& event);
bool keyboardHookInstalled();

// Told (with no arguments; ask keyboardHookInstalled()) after every install
// and removal, on the thread that made it. Watchers must not block, nor
// install or remove hooks.
int addHookWatcher(std::function<void()> watcher);
// When it returns, the watcher is not running and is never called again.
void removeHookWatcher(int id);

} // namespace platform
