// Qt key events as the keyboard hook receives them: the virtual-key code of
// the physical key (left and right modifiers apart, the keypad apart from the
// cluster), its scan code and extended flag, and the key message with its
// flags.
#pragma once

#include "platform/hook.h"

#include <QKeyEvent>
#include <cstdint>

namespace shell {

// What an event's native codes mean: X11 key codes (evdev code + 8) and
// keysyms on xcb and wayland; nothing to go by elsewhere (offscreen, tests
// that only give Qt keys), where the Qt key and the keypad modifier decide.
enum class NativeKeyCodes { None, X11 };
NativeKeyCodes nativeKeyCodesOfPlatform();

struct VirtualKey {
    std::uint32_t vk = 0;
    std::uint32_t scanCode = 0;
    bool extended = false;
};

// A key without a virtual-key code of its own, as the system reports one.
constexpr std::uint32_t kUnknownVirtualKey = 0xFF;

VirtualKey virtualKeyOf(const QKeyEvent& event, NativeKeyCodes codes);

struct HookKeyEvent {
    unsigned message = 0; // WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP
    platform::KBDLLHOOKSTRUCT event;
};

// A press or release as the hook gets it: a system key while Alt is held
// without Ctrl, and F10; the extended, up and Alt-down flags; the event's
// time.
HookKeyEvent hookKeyEventOf(const QKeyEvent& event, NativeKeyCodes codes);

} // namespace shell
