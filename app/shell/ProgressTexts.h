// The messages of the device operation runner, in both languages.
#pragma once

#include "ProgressWorker.h"

#include <string>

namespace shell {

// Another operation still holds the keyboard.
std::wstring deviceBusyText(const std::string& language);
// What failed; empty for DeviceStep::None, the unknown operation's text for
// a value that names no step.
std::wstring deviceFailedText(DeviceStep step, const std::string& language);

} // namespace shell
