#include "firmware_names.h"

namespace cli {

namespace {

constexpr int kCorvType = 2;

// The Vanta's check at choosing time does not demand the underscore that
// the check before the download demands.
constexpr FirmwareFamily kFamilies[] = {
    {"Corv", "731RV(XLED)WP_", "731RV(XLED)WP_",
     "The firmware does not match,please select 731RV(XLED)WP"},
    {"Vanta", "731RV(XRGB)WP", "731RV(XRGB)WP_",
     "The firmware does not match,please select 731RV(XRGB)WP"},
};

} // namespace

const FirmwareFamily& firmwareFamilyOf(int deviceType) {
    return deviceType == kCorvType ? kFamilies[0] : kFamilies[1];
}

std::string fileNameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool nameMatches(const std::string& name, const char* prefix) {
    return name.rfind(prefix, 0) == 0;
}

} // namespace cli
