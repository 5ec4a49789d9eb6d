// The device watcher of a build without libudev: the presence poll alone.
#include "DeviceWatcher.h"
#include "PresencePoll.h"

#include <cstdlib>

namespace shell {

struct DeviceWatcher::Monitor {};

DeviceWatcher::DeviceWatcher(Handler handler, Options options, QObject* parent)
    : QObject(parent), handler_(std::move(handler)) {
    poll_ = new PresencePoll([this] { notify(); }, options.pollIntervalMs, this);
}

DeviceWatcher::~DeviceWatcher() = default;

const char* DeviceWatcher::backend() const {
    return "poll";
}

} // namespace shell
