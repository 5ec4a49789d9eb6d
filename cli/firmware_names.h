// The firmware families by keyboard model, and the checks of a firmware
// file's name against them: the name must begin with the family's prefix.
#pragma once

#include <string>

namespace cli {

struct FirmwareFamily {
    const char* model;          // "Corv" or "Vanta"
    const char* choosePrefix;   // checked when a file is chosen
    const char* downloadPrefix; // checked before the download
    const char* mismatchText;   // shown when the chosen file does not match
};

// Shown when the name fails the check before the download.
constexpr const char* kFirmwareDoesNotMatch = "The firmware does not match";

// The family of a device type: 2 is the Corv, any other a Vanta.
const FirmwareFamily& firmwareFamilyOf(int deviceType);

// The file name of a path, without its folder.
std::string fileNameOf(const std::string& path);

// Exact, case-sensitive comparison at the name's start.
bool nameMatches(const std::string& name, const char* prefix);

} // namespace cli
