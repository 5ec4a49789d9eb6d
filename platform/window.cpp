#include "platform/window.h"

#include <unordered_map>

namespace platform {

namespace {

// Handles are numbers that are never reused, so a stale handle can never
// reach a window opened later.
std::mutex g_mutex;
std::unordered_map<std::uintptr_t, WindowTarget*> g_windows;
std::uintptr_t g_next = 1;

std::uintptr_t keyOf(HWND window) { return reinterpret_cast<std::uintptr_t>(window); }

} // namespace

HWND registerWindow(WindowTarget* target) {
    std::lock_guard lock(g_mutex);
    const std::uintptr_t key = g_next++;
    g_windows[key] = target;
    return reinterpret_cast<HWND>(key);
}

void unregisterWindow(HWND window) {
    std::lock_guard lock(g_mutex);
    g_windows.erase(keyOf(window));
}

bool isWindow(HWND window) {
    std::lock_guard lock(g_mutex);
    return g_windows.count(keyOf(window)) != 0;
}

bool postMessage(HWND window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    // Delivering under the lock keeps the target alive until it has the message.
    std::lock_guard lock(g_mutex);
    const auto it = g_windows.find(keyOf(window));
    if (it == g_windows.end() || !it->second)
        return false;
    it->second->deliver({message, wParam, lParam});
    return true;
}

MessageQueueWindow::MessageQueueWindow() : handle_(registerWindow(this)) {}

MessageQueueWindow::~MessageQueueWindow() { unregisterWindow(handle_); }

void MessageQueueWindow::deliver(const PostedMessage& message) {
    std::lock_guard lock(mutex_);
    messages_.push_back(message);
}

std::deque<PostedMessage> MessageQueueWindow::take() {
    std::lock_guard lock(mutex_);
    std::deque<PostedMessage> out;
    out.swap(messages_);
    return out;
}

} // namespace platform
