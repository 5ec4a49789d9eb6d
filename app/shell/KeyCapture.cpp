#include "KeyCapture.h"

#include <algorithm>
#include <chrono>

namespace shell {

namespace {

constexpr std::uintptr_t kReleaseFlag = 0x80000000u;
constexpr std::intptr_t kExtendedFlag = 0x01000000;
constexpr int kKeyDownBit = 0x8000;

// The states of the left and right Shift key read at the last Shift release.
int g_rememberedLeft = 0;
int g_rememberedRight = 0;

std::int64_t steadyNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

void SeenShiftStates::observe(int vk, bool released) {
    State* s = vk == VK_LSHIFT ? &left_ : vk == VK_RSHIFT ? &right_ : nullptr;
    if (!s)
        return;
    if (!released && !s->down)
        s->toggled = !s->toggled;
    s->down = !released;
}

int SeenShiftStates::keyState(int vk) const {
    const State* s = vk == VK_LSHIFT ? &left_ : vk == VK_RSHIFT ? &right_ : nullptr;
    if (!s)
        return 0;
    return (s->down ? kKeyDownBit : 0) | (s->toggled ? 1 : 0);
}

bool SeenShiftStates::asyncDown(int vk) const {
    return (keyState(vk) & kKeyDownBit) != 0;
}

int elapsedMilliseconds(std::int64_t from, std::int64_t to, std::int64_t frequency) {
    if (frequency <= 0 || to <= from)
        return 0;
    const std::int64_t ticks = to - from;
    const std::int64_t seconds = ticks / frequency;
    if (seconds > kLongestPauseMs / 1000)
        return kLongestPauseMs;
    const std::int64_t ms = seconds * 1000 + (ticks % frequency) * 1000 / frequency;
    return static_cast<int>(std::min<std::int64_t>(ms, kLongestPauseMs));
}

KeyCapture::KeyCapture() : counter_(steadyNanoseconds), frequency_(1'000'000'000) {}

void KeyCapture::setCounter(Counter counter, std::int64_t frequency) {
    counter_ = std::move(counter);
    frequency_ = frequency;
}

void KeyCapture::setShiftStates(const ShiftKeyStates* states) {
    states_ = states;
}

void KeyCapture::forgetRememberedShiftStates() {
    g_rememberedLeft = 0;
    g_rememberedRight = 0;
}

void KeyCapture::start() {
    down_.fill(0);
    lastKeyCode_ = -1;
    previousCounter_ = 0;
}

int KeyCapture::resolveShift(int vk, bool released) const {
    if (vk != VK_SHIFT)
        return vk;
    const ShiftKeyStates& states = states_ ? *states_ : seen_;
    if (released) {
        const int left = states.keyState(VK_LSHIFT);
        const int right = states.keyState(VK_RSHIFT);
        int resolved = vk;
        if (left != g_rememberedLeft)
            resolved = VK_LSHIFT;
        else if (right != g_rememberedRight)
            resolved = VK_RSHIFT;
        if (resolved != vk) {
            g_rememberedLeft = left;
            g_rememberedRight = right;
        }
        return resolved;
    }
    if (states.asyncDown(VK_LSHIFT))
        return VK_LSHIFT;
    if (states.asyncDown(VK_RSHIFT))
        return VK_RSHIFT;
    return vk;
}

HookKey KeyCapture::decode(std::uintptr_t wParam, std::intptr_t lParam) {
    HookKey key;
    key.released = (wParam & kReleaseFlag) != 0;
    thisCounter_ = counter_ ? counter_() : 0;
    key.elapsedMs = elapsedMilliseconds(previousCounter_, thisCounter_, frequency_);
    key.hasPrevious = previousCounter_ != 0;
    const int vk = static_cast<int>(wParam & 0xFF);
    const bool extended = (lParam & kExtendedFlag) != 0;
    seen_.observe(vk, key.released);
    key.vk = resolveShift(vk, key.released);
    key.code = (key.released ? kReleaseBit : 0) | key.vk;
    if (key.code == VK_RETURN && extended)
        key.code = kKeypadEnterCode;
    return key;
}

void KeyCapture::finish(const HookKey& key) {
    previousCounter_ = thisCounter_;
    lastKeyCode_ = key.code;
}

bool KeyCapture::takeTransition(const HookKey& key) {
    std::uint8_t& down = down_[static_cast<std::size_t>(key.vk & 0xFF)];
    if (down != (key.released ? 1 : 0))
        return false;
    down = key.released ? 0 : 1;
    return true;
}

} // namespace shell
