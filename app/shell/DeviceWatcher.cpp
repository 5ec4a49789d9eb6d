// What the device watcher does the same with every backend.
#include "DeviceWatcher.h"

#include <cstdlib>

namespace shell {

bool DeviceWatcher::simulatorsListed() {
    const char* sim = std::getenv("VANTACORV_SIM");
    const char* only = std::getenv("VANTACORV_SIM_ONLY");
    return (sim && *sim) || (only && *only);
}

void DeviceWatcher::notify() {
    if (handler_)
        handler_();
}

} // namespace shell
