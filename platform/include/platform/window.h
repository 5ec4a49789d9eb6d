// Window handles and posted messages: how worker threads and the device
// library reach a window. A handle names a live window in a registry; a post
// to a handle whose window has closed is dropped and returns false.
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>

struct PlatformWindow;
using HWND = PlatformWindow*;

namespace platform {

constexpr unsigned WM_USER = 0x0400;

// The program's own messages.
constexpr unsigned UM_TRAY_NOTIFY = WM_USER + 0x65;     // 1125
constexpr unsigned UM_HOOK_KEY = WM_USER + 0x66;        // 1126
constexpr unsigned UM_DEVICE_PROGRESS = WM_USER + 0x67; // 1127
constexpr unsigned UM_DEVICE_DONE = WM_USER + 0x68;     // 1128

struct PostedMessage {
    unsigned message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

// What a window provides to receive posts. deliver() may be called from any
// thread; it must hand the message on to the window's own thread (the Qt glue
// queues it into the event loop) and must not block.
class WindowTarget {
  public:
    virtual ~WindowTarget() = default;
    virtual void deliver(const PostedMessage& message) = 0;
};

// Registers a live window and returns its handle (never null).
HWND registerWindow(WindowTarget* target);
// Ends a handle: later posts to it are dropped. Waits for a delivery in
// progress, so that the target may be destroyed right after.
void unregisterWindow(HWND window);
bool isWindow(HWND window);
// Thread-safe; false (and nothing delivered) when the window is not live.
bool postMessage(HWND window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

// A window that only collects what is posted to it, for tests and for
// callers without a user interface (the command line).
class MessageQueueWindow final : public WindowTarget {
  public:
    MessageQueueWindow();
    ~MessageQueueWindow() override;
    MessageQueueWindow(const MessageQueueWindow&) = delete;
    MessageQueueWindow& operator=(const MessageQueueWindow&) = delete;

    HWND handle() const { return handle_; }
    void deliver(const PostedMessage& message) override;
    std::deque<PostedMessage> take();

  private:
    std::mutex mutex_;
    std::deque<PostedMessage> messages_;
    HWND handle_;
};

} // namespace platform
