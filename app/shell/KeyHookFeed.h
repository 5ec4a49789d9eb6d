// The Qt side of the keyboard hook: an application-wide event filter that,
// while a hook is installed, hands every key press and release of the
// program to the hook registry and drops the events the hook swallows. It
// also keeps shortcuts from taking keys first and holds the keyboard grab
// on the active window, so that keys the desktop would act on come here.
// One object for the program's life, created after the QApplication.
#pragma once

#include "VirtualKeys.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace shell {

class KeyHookFeed final : public QObject {
    Q_OBJECT
  public:
    explicit KeyHookFeed(QObject* parent = nullptr);
    // For tests: native codes read as given, not as the platform's.
    KeyHookFeed(NativeKeyCodes codes, QObject* parent);
    ~KeyHookFeed() override;
    KeyHookFeed(const KeyHookFeed&) = delete;
    KeyHookFeed& operator=(const KeyHookFeed&) = delete;

    // The widget holding the keyboard grab for the hook, if any.
    QWidget* grabbedWindow() const { return grabbed_.data(); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Grabs the keyboard for the active window while a hook is installed,
    // releases it when none is.
    void updateGrab();
    bool feed(QKeyEvent& event);

    NativeKeyCodes codes_;
    int watcher_ = 0;
    QPointer<QWidget> grabbed_;
    // A key event passes the filter once for its window and once for each
    // widget it is offered to; the hook hears it once.
    const QEvent* lastEvent_ = nullptr;
    QPointer<QObject> lastReceiver_;
    QEvent::Type lastType_ = QEvent::None;
    int lastKey_ = 0;
    quint64 lastTime_ = 0;
    bool lastSwallowed_ = false;
    bool lastPressSwallowed_ = false;
    // The answer given to a shortcut override, for the press after it.
    struct Pending {
        bool valid = false;
        int key = 0;
        quint64 time = 0;
        bool swallowed = false;
    } pending_;
};

} // namespace shell
