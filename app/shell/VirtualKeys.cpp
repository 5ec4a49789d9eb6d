#include "VirtualKeys.h"

#include <QGuiApplication>
#include <array>

namespace shell {

namespace {

// One physical key in one keypad state. x11 is the X key code (evdev code
// + 8), keysym the X keysym where the Qt key alone is ambiguous (left and
// right modifiers, the keypad). qtKey and qtAlt are the Qt keys it reports
// (alt: shifted, or another name for the same key); keypad: Qt reports it
// with the keypad modifier.
struct Row {
    int qtKey;
    int qtAlt;
    bool keypad;
    std::uint8_t x11;
    std::uint32_t keysym;
    std::uint8_t vk;
    std::uint8_t scan;
    bool extended;
};

// Keys outside the extended set: their X key code is the scan code + 8.
constexpr Row key(int qt, int alt, std::uint8_t vk, std::uint8_t scan, std::uint32_t keysym = 0) {
    return {qt, alt, false, static_cast<std::uint8_t>(scan + 8), keysym, vk, scan, false};
}
constexpr Row pad(int qt, int alt, std::uint8_t vk, std::uint8_t scan, std::uint32_t keysym) {
    return {qt, alt, true, static_cast<std::uint8_t>(scan + 8), keysym, vk, scan, false};
}
constexpr Row ext(int qt, int alt, std::uint8_t vk, std::uint8_t scan, std::uint8_t x11,
                  std::uint32_t keysym = 0, bool keypad = false) {
    return {qt, alt, keypad, x11, keysym, vk, scan, true};
}

// Virtual-key codes and set-1 scan codes of a US keyboard. Where two rows
// share a Qt key, the first (left modifier) is taken when nothing else tells.
constexpr auto kKeys = std::to_array<Row>({
    key(Qt::Key_Escape, 0, 0x1B, 0x01),
    key(Qt::Key_1, Qt::Key_Exclam, '1', 0x02),
    key(Qt::Key_2, Qt::Key_At, '2', 0x03),
    key(Qt::Key_3, Qt::Key_NumberSign, '3', 0x04),
    key(Qt::Key_4, Qt::Key_Dollar, '4', 0x05),
    key(Qt::Key_5, Qt::Key_Percent, '5', 0x06),
    key(Qt::Key_6, Qt::Key_AsciiCircum, '6', 0x07),
    key(Qt::Key_7, Qt::Key_Ampersand, '7', 0x08),
    key(Qt::Key_8, Qt::Key_Asterisk, '8', 0x09),
    key(Qt::Key_9, Qt::Key_ParenLeft, '9', 0x0A),
    key(Qt::Key_0, Qt::Key_ParenRight, '0', 0x0B),
    key(Qt::Key_Minus, Qt::Key_Underscore, 0xBD, 0x0C),
    key(Qt::Key_Equal, Qt::Key_Plus, 0xBB, 0x0D),
    key(Qt::Key_Backspace, 0, 0x08, 0x0E),
    key(Qt::Key_Tab, Qt::Key_Backtab, 0x09, 0x0F),
    key(Qt::Key_Q, 0, 'Q', 0x10),
    key(Qt::Key_W, 0, 'W', 0x11),
    key(Qt::Key_E, 0, 'E', 0x12),
    key(Qt::Key_R, 0, 'R', 0x13),
    key(Qt::Key_T, 0, 'T', 0x14),
    key(Qt::Key_Y, 0, 'Y', 0x15),
    key(Qt::Key_U, 0, 'U', 0x16),
    key(Qt::Key_I, 0, 'I', 0x17),
    key(Qt::Key_O, 0, 'O', 0x18),
    key(Qt::Key_P, 0, 'P', 0x19),
    key(Qt::Key_BracketLeft, Qt::Key_BraceLeft, 0xDB, 0x1A),
    key(Qt::Key_BracketRight, Qt::Key_BraceRight, 0xDD, 0x1B),
    key(Qt::Key_Return, 0, 0x0D, 0x1C),
    key(Qt::Key_Control, 0, 0xA2, 0x1D, 0xffe3),
    key(Qt::Key_A, 0, 'A', 0x1E),
    key(Qt::Key_S, 0, 'S', 0x1F),
    key(Qt::Key_D, 0, 'D', 0x20),
    key(Qt::Key_F, 0, 'F', 0x21),
    key(Qt::Key_G, 0, 'G', 0x22),
    key(Qt::Key_H, 0, 'H', 0x23),
    key(Qt::Key_J, 0, 'J', 0x24),
    key(Qt::Key_K, 0, 'K', 0x25),
    key(Qt::Key_L, 0, 'L', 0x26),
    key(Qt::Key_Semicolon, Qt::Key_Colon, 0xBA, 0x27),
    key(Qt::Key_Apostrophe, Qt::Key_QuoteDbl, 0xDE, 0x28),
    key(Qt::Key_QuoteLeft, Qt::Key_AsciiTilde, 0xC0, 0x29),
    key(Qt::Key_Shift, 0, 0xA0, 0x2A, 0xffe1),
    key(Qt::Key_Backslash, Qt::Key_Bar, 0xDC, 0x2B),
    key(Qt::Key_Z, 0, 'Z', 0x2C),
    key(Qt::Key_X, 0, 'X', 0x2D),
    key(Qt::Key_C, 0, 'C', 0x2E),
    key(Qt::Key_V, 0, 'V', 0x2F),
    key(Qt::Key_B, 0, 'B', 0x30),
    key(Qt::Key_N, 0, 'N', 0x31),
    key(Qt::Key_M, 0, 'M', 0x32),
    key(Qt::Key_Comma, Qt::Key_Less, 0xBC, 0x33),
    key(Qt::Key_Period, Qt::Key_Greater, 0xBE, 0x34),
    key(Qt::Key_Slash, Qt::Key_Question, 0xBF, 0x35),
    key(Qt::Key_Shift, 0, 0xA1, 0x36, 0xffe2),
    pad(Qt::Key_Asterisk, 0, 0x6A, 0x37, 0xffaa),
    key(Qt::Key_Alt, 0, 0xA4, 0x38, 0xffe9),
    key(Qt::Key_Space, 0, 0x20, 0x39),
    key(Qt::Key_CapsLock, 0, 0x14, 0x3A),
    key(Qt::Key_F1, 0, 0x70, 0x3B),
    key(Qt::Key_F2, 0, 0x71, 0x3C),
    key(Qt::Key_F3, 0, 0x72, 0x3D),
    key(Qt::Key_F4, 0, 0x73, 0x3E),
    key(Qt::Key_F5, 0, 0x74, 0x3F),
    key(Qt::Key_F6, 0, 0x75, 0x40),
    key(Qt::Key_F7, 0, 0x76, 0x41),
    key(Qt::Key_F8, 0, 0x77, 0x42),
    key(Qt::Key_F9, 0, 0x78, 0x43),
    key(Qt::Key_F10, 0, 0x79, 0x44),
    // NumLock carries the extended flag although its scan code has no prefix.
    ext(Qt::Key_NumLock, 0, 0x90, 0x45, 77),
    key(Qt::Key_ScrollLock, 0, 0x91, 0x46),
    // The keypad with NumLock on, then the same keys with it off: these are
    // the cluster's codes without the extended flag.
    pad(Qt::Key_7, 0, 0x67, 0x47, 0xffb7),
    pad(Qt::Key_8, 0, 0x68, 0x48, 0xffb8),
    pad(Qt::Key_9, 0, 0x69, 0x49, 0xffb9),
    pad(Qt::Key_Minus, 0, 0x6D, 0x4A, 0xffad),
    pad(Qt::Key_4, 0, 0x64, 0x4B, 0xffb4),
    pad(Qt::Key_5, 0, 0x65, 0x4C, 0xffb5),
    pad(Qt::Key_6, 0, 0x66, 0x4D, 0xffb6),
    pad(Qt::Key_Plus, 0, 0x6B, 0x4E, 0xffab),
    pad(Qt::Key_1, 0, 0x61, 0x4F, 0xffb1),
    pad(Qt::Key_2, 0, 0x62, 0x50, 0xffb2),
    pad(Qt::Key_3, 0, 0x63, 0x51, 0xffb3),
    pad(Qt::Key_0, 0, 0x60, 0x52, 0xffb0),
    pad(Qt::Key_Period, Qt::Key_Comma, 0x6E, 0x53, 0xffae),
    pad(Qt::Key_Home, 0, 0x24, 0x47, 0xff95),
    pad(Qt::Key_Up, 0, 0x26, 0x48, 0xff97),
    pad(Qt::Key_PageUp, 0, 0x21, 0x49, 0xff9a),
    pad(Qt::Key_Left, 0, 0x25, 0x4B, 0xff96),
    pad(Qt::Key_Clear, 0, 0x0C, 0x4C, 0xff9d),
    pad(Qt::Key_Right, 0, 0x27, 0x4D, 0xff98),
    pad(Qt::Key_End, 0, 0x23, 0x4F, 0xff9c),
    pad(Qt::Key_Down, 0, 0x28, 0x50, 0xff99),
    pad(Qt::Key_PageDown, 0, 0x22, 0x51, 0xff9b),
    pad(Qt::Key_Insert, 0, 0x2D, 0x52, 0xff9e),
    pad(Qt::Key_Delete, 0, 0x2E, 0x53, 0xff9f),
    key(0, 0, 0xE2, 0x56), // the extra key left of Z
    key(Qt::Key_F11, 0, 0x7A, 0x57),
    key(Qt::Key_F12, 0, 0x7B, 0x58),
    ext(Qt::Key_Enter, 0, 0x0D, 0x1C, 104, 0xff8d, true),
    ext(Qt::Key_Control, 0, 0xA3, 0x1D, 105, 0xffe4),
    ext(Qt::Key_Slash, 0, 0x6F, 0x35, 106, 0xffaf, true),
    ext(Qt::Key_Print, Qt::Key_SysReq, 0x2C, 0x37, 107),
    ext(Qt::Key_AltGr, Qt::Key_Alt, 0xA5, 0x38, 108, 0xffea),
    ext(Qt::Key_Home, 0, 0x24, 0x47, 110),
    ext(Qt::Key_Up, 0, 0x26, 0x48, 111),
    ext(Qt::Key_PageUp, 0, 0x21, 0x49, 112),
    ext(Qt::Key_Left, 0, 0x25, 0x4B, 113),
    ext(Qt::Key_Right, 0, 0x27, 0x4D, 114),
    ext(Qt::Key_End, 0, 0x23, 0x4F, 115),
    ext(Qt::Key_Down, 0, 0x28, 0x50, 116),
    ext(Qt::Key_PageDown, 0, 0x22, 0x51, 117),
    ext(Qt::Key_Insert, 0, 0x2D, 0x52, 118),
    ext(Qt::Key_Delete, 0, 0x2E, 0x53, 119),
    ext(Qt::Key_VolumeMute, 0, 0xAD, 0x20, 121),
    ext(Qt::Key_VolumeDown, 0, 0xAE, 0x2E, 122),
    ext(Qt::Key_VolumeUp, 0, 0xAF, 0x30, 123),
    // Pause has a scan code of its own making, without the extended flag.
    {Qt::Key_Pause, 0, false, 127, 0, 0x13, 0x45, false},
    ext(Qt::Key_Super_L, Qt::Key_Meta, 0x5B, 0x5B, 133, 0xffeb),
    ext(Qt::Key_Super_R, 0, 0x5C, 0x5C, 134, 0xffec),
    ext(Qt::Key_Menu, 0, 0x5D, 0x5D, 135),
    ext(Qt::Key_MediaNext, 0, 0xB0, 0x19, 171),
    ext(Qt::Key_MediaPlay, Qt::Key_MediaTogglePlayPause, 0xB3, 0x22, 172),
    ext(Qt::Key_MediaPrevious, 0, 0xB1, 0x10, 173),
    ext(Qt::Key_MediaStop, 0, 0xB2, 0x24, 174),
});

bool reports(const Row& row, int qtKey) {
    return qtKey != 0 && (row.qtKey == qtKey || row.qtAlt == qtKey);
}

const Row* findRow(const QKeyEvent& event, NativeKeyCodes codes) {
    const int qtKey = event.key();
    const bool keypad = event.modifiers().testFlag(Qt::KeypadModifier);
    if (codes == NativeKeyCodes::X11) {
        // The key code names the physical key; the Qt key then tells the
        // keypad's NumLock state.
        const std::uint32_t code = event.nativeScanCode();
        const Row* first = nullptr;
        for (const Row& row : kKeys) {
            if (code == 0 || row.x11 != code)
                continue;
            if (reports(row, qtKey))
                return &row;
            if (!first)
                first = &row;
        }
        if (first)
            return first;
        const std::uint32_t keysym = event.nativeVirtualKey();
        for (const Row& row : kKeys)
            if (keysym != 0 && row.keysym == keysym)
                return &row;
    }
    for (const Row& row : kKeys)
        if (reports(row, qtKey) && row.keypad == keypad)
            return &row;
    for (const Row& row : kKeys)
        if (reports(row, qtKey))
            return &row;
    return nullptr;
}

constexpr std::uint32_t kLeftCtrl = 0xA2, kRightCtrl = 0xA3, kLeftAlt = 0xA4, kRightAlt = 0xA5,
                        kF10 = 0x79;

} // namespace

NativeKeyCodes nativeKeyCodesOfPlatform() {
    const QString name = QGuiApplication::platformName();
    return name == QLatin1String("xcb") || name.startsWith(QLatin1String("wayland"))
               ? NativeKeyCodes::X11
               : NativeKeyCodes::None;
}

VirtualKey virtualKeyOf(const QKeyEvent& event, NativeKeyCodes codes) {
    const Row* row = findRow(event, codes);
    if (!row)
        return {kUnknownVirtualKey, 0, false};
    return {row->vk, row->scan, row->extended};
}

HookKeyEvent hookKeyEventOf(const QKeyEvent& event, NativeKeyCodes codes) {
    const VirtualKey key = virtualKeyOf(event, codes);
    const bool release = event.type() == QEvent::KeyRelease;
    // Alt and Ctrl count as held while their own key goes down, and no more
    // once it is released, whatever the toolkit's modifiers say about it.
    const auto held = [&](std::uint32_t left, std::uint32_t right, Qt::KeyboardModifier modifier) {
        if (key.vk == left || key.vk == right)
            return !release;
        return event.modifiers().testFlag(modifier);
    };
    const bool alt = held(kLeftAlt, kRightAlt, Qt::AltModifier);
    const bool ctrl = held(kLeftCtrl, kRightCtrl, Qt::ControlModifier);
    const bool system = !ctrl && (alt || key.vk == kF10);

    HookKeyEvent out;
    out.message = release ? (system ? platform::WM_SYSKEYUP : platform::WM_KEYUP)
                          : (system ? platform::WM_SYSKEYDOWN : platform::WM_KEYDOWN);
    out.event.vkCode = key.vk;
    out.event.scanCode = key.scanCode;
    out.event.flags = (key.extended ? platform::LLKHF_EXTENDED : 0) |
                      (alt ? platform::LLKHF_ALTDOWN : 0) | (release ? platform::LLKHF_UP : 0);
    out.event.time = static_cast<std::uint32_t>(event.timestamp());
    return out;
}

} // namespace shell
