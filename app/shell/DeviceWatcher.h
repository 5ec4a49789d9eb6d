// Calls a handler on the UI thread when the system's devices change: a udev
// monitor where the build has libudev, and a presence poll once a second
// where it has not, where the monitor cannot be opened, or where simulated
// keyboards (which udev never sees) are in the HID list.
#pragma once

#include <QObject>
#include <functional>
#include <memory>

namespace shell {

class PresencePoll;

class DeviceWatcher final : public QObject {
    Q_OBJECT
  public:
    using Handler = std::function<void()>;

    struct Options {
        // Also poll the HID list, for keyboards udev does not report.
        bool pollAlso = false;
        int pollIntervalMs = 1000;
    };

    DeviceWatcher(Handler handler, Options options, QObject* parent = nullptr);
    ~DeviceWatcher() override;

    // "udev", "udev+poll" or "poll".
    const char* backend() const;

    // Whether simulated keyboards can be in the list (VANTACORV_SIM or
    // VANTACORV_SIM_ONLY set), so that the poll is needed.
    static bool simulatorsListed();

  private:
    struct Monitor;
    void notify();

    Handler handler_;
    std::unique_ptr<Monitor> monitor_;
    PresencePoll* poll_ = nullptr;
};

} // namespace shell
