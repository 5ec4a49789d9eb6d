// The messages of the device operation runner, in both languages.
#pragma once

#include "ProgressWorker.h"

#include <string>

namespace shell {

// Another operation still holds the keyboard.
std::wstring deviceBusyText(const std::string& language);
// What failed; empty for DeviceStep::None.
std::wstring deviceFailedText(DeviceStep step, const std::string& language);

} // namespace shell
