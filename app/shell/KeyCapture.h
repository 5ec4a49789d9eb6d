// What the key editor makes of a keyboard hook message, shared by every
// capture (single key, combination, macro, emulation): the key code with its
// release bit, the left or right Shift key, the keypad Enter, the time since
// the previous message, and the key-is-down flags that pair presses with
// releases. No toolkit here.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

namespace shell {

constexpr int VK_RETURN = 0x0D;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_LSHIFT = 0xA0;
constexpr int VK_RSHIFT = 0xA1;
// The keypad's Enter: the Enter key code with bit 8 set.
constexpr int kKeypadEnterCode = 269;
constexpr int kReleaseBit = 1 << 9;
// Pauses are kept in 16 bits.
constexpr int kLongestPauseMs = 65535;

// The state of the two Shift keys as the system would tell it: keyState as
// GetKeyState gives it (bit 15 down, bit 0 toggled by every press) and
// asyncDown whether the key is held now.
class ShiftKeyStates {
  public:
    virtual ~ShiftKeyStates() = default;
    virtual int keyState(int vk) const = 0;
    virtual bool asyncDown(int vk) const = 0;
};

// The states as far as the hook messages tell them: every left or right
// Shift press and release that arrived as such. The platform reports the two
// keys apart wherever it can, so a bare Shift is rare and then decided from
// what was seen before.
class SeenShiftStates final : public ShiftKeyStates {
  public:
    void observe(int vk, bool released);
    int keyState(int vk) const override;
    bool asyncDown(int vk) const override;

  private:
    struct State {
        bool down = false;
        bool toggled = false;
    };
    State left_, right_;
};

struct HookKey {
    int code = 0; // virtual-key code in bits 0..7, 269 for the keypad Enter, bit 9 a release
    int vk = 0;   // bits 0..7 of the code, Shift resolved
    bool released = false;
    int elapsedMs = 0;        // since the previous hook message, at most 65535
    bool hasPrevious = false; // a hook message came before this one since start()
};

class KeyCapture {
  public:
    // A performance counter and its ticks per second.
    using Counter = std::function<std::int64_t()>;

    KeyCapture();
    // For tests: a counter of their own, and Shift states of their own (null:
    // the ones seen in the messages).
    void setCounter(Counter counter, std::int64_t frequency);
    void setShiftStates(const ShiftKeyStates* states);

    // A capture or recording starts: no key is down, no key was seen, no
    // previous message.
    void start();
    // Steps one to five of a hook message: the key it stands for and the time
    // since the previous one. Call finish() with the result once decided.
    HookKey decode(std::uintptr_t wParam, std::intptr_t lParam);
    // The message counts as the previous one from now on.
    void finish(const HookKey& key);

    // -1 after start().
    int lastKeyCode() const { return lastKeyCode_; }
    // The press-and-release filter of the recordings: a press is taken only
    // while its key is up, a release only while it is down; a taken message
    // flips the flag.
    bool takeTransition(const HookKey& key);

    // Both Shift states remembered at the last Shift release (process-wide,
    // as the system's are); for tests.
    static void forgetRememberedShiftStates();

  private:
    int resolveShift(int vk, bool released) const;

    Counter counter_;
    std::int64_t frequency_;
    std::int64_t thisCounter_ = 0;
    std::int64_t previousCounter_ = 0;
    int lastKeyCode_ = -1;
    std::array<std::uint8_t, 256> down_{};
    SeenShiftStates seen_;
    const ShiftKeyStates* states_ = nullptr;
};

// Milliseconds between two counter readings, 0 when the later is not later,
// at most 65535; no step of it overflows.
int elapsedMilliseconds(std::int64_t from, std::int64_t to, std::int64_t frequency);

} // namespace shell
