// A window handle bound to a live Qt object: posts from any thread arrive as
// events on the object's thread. A post after the binding ended returns false
// and is dropped; one still queued when it ends is dropped on arrival.
#pragma once

#include "platform/window.h"

#include <QEvent>
#include <QObject>
#include <atomic>

namespace shell {

class PostedMessageEvent final : public QEvent {
  public:
    static QEvent::Type eventType();
    PostedMessageEvent(HWND target, const platform::PostedMessage& message);

    HWND target() const { return target_; }
    const platform::PostedMessage& message() const { return message_; }

  private:
    HWND target_;
    platform::PostedMessage message_;
};

class WindowBinding final : public platform::WindowTarget {
  public:
    // The receiver gets a PostedMessageEvent for each post and must pass it to
    // accepts() before acting on it.
    explicit WindowBinding(QObject* receiver);
    ~WindowBinding() override;
    WindowBinding(const WindowBinding&) = delete;
    WindowBinding& operator=(const WindowBinding&) = delete;

    // Registers the handle if it is not live; returns it.
    HWND bind();
    // Ends the handle: posts to it are refused from now on.
    void release();
    // The live handle, or null.
    HWND handle() const { return handle_.load(); }
    // True when the event was posted to the handle that is live now.
    bool accepts(const PostedMessageEvent& event) const;

    void deliver(const platform::PostedMessage& message) override;

  private:
    QObject* receiver_;
    std::atomic<HWND> handle_{nullptr};
};

} // namespace shell
