#include "WindowBinding.h"

#include <QCoreApplication>

namespace shell {

QEvent::Type PostedMessageEvent::eventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

PostedMessageEvent::PostedMessageEvent(HWND target, const platform::PostedMessage& message)
    : QEvent(eventType()), target_(target), message_(message) {}

WindowBinding::WindowBinding(QObject* receiver) : receiver_(receiver) {}

WindowBinding::~WindowBinding() {
    release();
}

HWND WindowBinding::bind() {
    if (!handle_.load())
        handle_.store(platform::registerWindow(this));
    return handle_.load();
}

void WindowBinding::release() {
    // unregisterWindow waits for a delivery in progress, so no post reaches
    // this object after it returns.
    if (HWND h = handle_.exchange(nullptr))
        platform::unregisterWindow(h);
}

bool WindowBinding::accepts(const PostedMessageEvent& event) const {
    return event.target() && event.target() == handle_.load();
}

void WindowBinding::deliver(const platform::PostedMessage& message) {
    // Called under the registry's lock while the handle is live; postEvent is
    // thread-safe and never blocks on the receiver's thread.
    QCoreApplication::postEvent(receiver_, new PostedMessageEvent(handle_.load(), message));
}

} // namespace shell
