#include "KeyHookFeed.h"

#include "platform/hook.h"

#include <QApplication>
#include <QThread>
#include <QWindow>

namespace shell {

namespace {

// True when receiver is where an event just offered to previous goes next:
// from a window to a widget in it, or from a widget that ignored it to one
// of its ancestors.
bool isNextStop(const QObject* previous, QObject* receiver) {
    if (!previous || !receiver || !receiver->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(receiver);
    if (previous->isWindowType())
        return widget->window()->windowHandle() == previous;
    if (!previous->isWidgetType())
        return false;
    return widget != previous && widget->isAncestorOf(static_cast<const QWidget*>(previous));
}

} // namespace

KeyHookFeed::KeyHookFeed(QObject* parent) : KeyHookFeed(nativeKeyCodesOfPlatform(), parent) {}

KeyHookFeed::KeyHookFeed(NativeKeyCodes codes, QObject* parent) : QObject(parent), codes_(codes) {
    qApp->installEventFilter(this);
    // A window opened during a capture (a message box) takes the grab along.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &KeyHookFeed::updateGrab);
    watcher_ = platform::addHookWatcher([this] {
        // Told on the thread that installed or removed the hook; the grab is
        // made here at once, so that it holds when the install returns.
        if (QThread::currentThread() == thread())
            updateGrab();
        else
            QMetaObject::invokeMethod(this, &KeyHookFeed::updateGrab, Qt::QueuedConnection);
    });
    updateGrab();
}

KeyHookFeed::~KeyHookFeed() {
    platform::removeHookWatcher(watcher_);
    qApp->removeEventFilter(this);
    if (grabbed_ && QWidget::keyboardGrabber() == grabbed_)
        grabbed_->releaseKeyboard();
}

void KeyHookFeed::updateGrab() {
    QWidget* const wanted =
        platform::keyboardHookInstalled() ? QApplication::activeWindow() : nullptr;
    if (wanted == grabbed_)
        return;
    if (grabbed_ && QWidget::keyboardGrabber() == grabbed_)
        grabbed_->releaseKeyboard();
    grabbed_ = wanted;
    if (wanted)
        wanted->grabKeyboard();
}

bool KeyHookFeed::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
        return false;
    if (!platform::keyboardHookInstalled())
        return false;
    auto& key = static_cast<QKeyEvent&>(*event);

    // The same event offered again to the next receiver: answered before.
    if (event == lastEvent_ && type == lastType_ && key.key() == lastKey_ &&
        key.timestamp() == lastTime_ && isNextStop(lastReceiver_.data(), watched)) {
        lastReceiver_ = watched;
        if (type == QEvent::ShortcutOverride && lastSwallowed_)
            event->accept();
        return lastSwallowed_;
    }

    bool swallowed;
    if (type == QEvent::ShortcutOverride) {
        // Sent before the press, as an event of its own: the hook hears the
        // key now, and a swallowed key is claimed so that no shortcut takes
        // it. The press that follows gets the same answer.
        swallowed = feed(key);
        pending_ = {true, key.key(), key.timestamp(), swallowed};
        if (swallowed)
            event->accept();
    } else {
        if (type == QEvent::KeyPress && pending_.valid && pending_.key == key.key() &&
            pending_.time == key.timestamp())
            swallowed = pending_.swallowed;
        else if (type == QEvent::KeyRelease && key.isAutoRepeat())
            // Held keys repeat their press only, as the system reports them.
            swallowed = lastPressSwallowed_;
        else
            swallowed = feed(key);
        pending_.valid = false;
        if (type == QEvent::KeyPress)
            lastPressSwallowed_ = swallowed;
    }
    lastEvent_ = event;
    lastReceiver_ = watched;
    lastType_ = type;
    lastKey_ = key.key();
    lastTime_ = key.timestamp();
    lastSwallowed_ = swallowed;
    return swallowed;
}

bool KeyHookFeed::feed(QKeyEvent& event) {
    const HookKeyEvent hook = hookKeyEventOf(event, codes_);
    return platform::feedKeyEvent(hook.message, hook.event);
}

} // namespace shell
