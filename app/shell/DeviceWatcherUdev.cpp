// The device watcher on Linux: a udev monitor on the USB and hidraw
// subsystems, read on the UI thread through a socket notifier. Falls back to
// the presence poll when the monitor cannot be opened (no netlink access in
// some containers) and adds it for simulated keyboards.
#include "DeviceWatcher.h"
#include "PresencePoll.h"

#include <QSocketNotifier>
#include <cstdlib>
#include <libudev.h>

namespace shell {

struct DeviceWatcher::Monitor {
    udev* context = nullptr;
    udev_monitor* monitor = nullptr;
    QSocketNotifier* notifier = nullptr;

    ~Monitor() {
        delete notifier;
        if (monitor)
            udev_monitor_unref(monitor);
        if (context)
            udev_unref(context);
    }

    bool open() {
        context = udev_new();
        if (!context)
            return false;
        monitor = udev_monitor_new_from_netlink(context, "udev");
        if (!monitor)
            return false;
        udev_monitor_filter_add_match_subsystem_devtype(monitor, "hidraw", nullptr);
        udev_monitor_filter_add_match_subsystem_devtype(monitor, "usb", nullptr);
        return udev_monitor_enable_receiving(monitor) == 0 && udev_monitor_get_fd(monitor) >= 0;
    }
};

DeviceWatcher::DeviceWatcher(Handler handler, Options options, QObject* parent)
    : QObject(parent), handler_(std::move(handler)) {
    auto monitor = std::make_unique<Monitor>();
    if (monitor->open()) {
        monitor->notifier =
            new QSocketNotifier(udev_monitor_get_fd(monitor->monitor), QSocketNotifier::Read);
        udev_monitor* raw = monitor->monitor;
        connect(monitor->notifier, &QSocketNotifier::activated, this, [this, raw] {
            // Take every queued event; one handler call covers them.
            bool any = false;
            while (udev_device* device = udev_monitor_receive_device(raw)) {
                udev_device_unref(device);
                any = true;
            }
            if (any)
                notify();
        });
        monitor_ = std::move(monitor);
    }
    if (!monitor_ || options.pollAlso)
        poll_ = new PresencePoll([this] { notify(); }, options.pollIntervalMs, this);
}

DeviceWatcher::~DeviceWatcher() = default;

const char* DeviceWatcher::backend() const {
    if (monitor_)
        return poll_ ? "udev+poll" : "udev";
    return "poll";
}

} // namespace shell
