#include "keyboard.h"

#include "exit_codes.h"
#include "pathmatch.h"
#include "platform/codepage.h"
#include "platform/hid.h"

#include <cstdlib>

namespace cli {

namespace {

constexpr const char* kNotConnected = "Keyboard is not connected!";
constexpr const char* kOccupiedText = "Keyboard has be occupied!";
constexpr int kCorvType = 2;

struct Choice {
    bool found = false;
    platform::HidEntry entry;
};

// The keyboard interface that `list` shows as text (its path or its index).
Choice findListed(const std::string& text) {
    const auto entries = platform::hidEnumerate();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (hwi::keyboardTypeOfPath(entries[i].path.c_str()) == 0)
            continue;
        if (platform::wideToUtf8(entries[i].path) == text || std::to_string(i) == text)
            return {true, entries[i]};
    }
    return {};
}

// Leaves the chosen interface as the first keyboard of the interface list, so
// that the library's own search (the first match, as the program does it)
// opens that one. False when the interface cannot be singled out.
bool singleOut(const platform::HidEntry& entry) {
    static constexpr const char kSimPrefix[] = "sim:";
    const std::string native = platform::hidNativePath(entry.path);
    if (native.rfind(kSimPrefix, 0) == 0) {
        // A simulated keyboard: list only it.
        platform::hidSetSystemDevicesEnabled(false);
        ::setenv("VANTACORV_SIM", native.substr(sizeof kSimPrefix - 1).c_str(), 1);
        return true;
    }
    // A system keyboard comes before every simulated one; it is the first
    // only when no other system keyboard is listed before it.
    ::unsetenv("VANTACORV_SIM");
    const auto entries = platform::hidEnumerate();
    for (const auto& candidate : entries)
        if (hwi::keyboardTypeOfPath(candidate.path.c_str()) != 0)
            return candidate.path == entry.path;
    return false;
}

} // namespace

std::unique_ptr<CTavoModel> newModel(const std::string& language, int deviceType) {
    auto model = std::make_unique<CTavoModel>();
    model->deviceType = deviceType;
    model->BuildKeyTables();
    model->language = language;
    model->ResetKeySettings();
    return model;
}

bool Keyboard::isCorv() const {
    return model_ && model_->deviceType == kCorvType;
}

int Keyboard::select(const std::string& devicePath, const std::string& language, Output& io) {
    if (!devicePath.empty()) {
        const Choice choice = findListed(devicePath);
        if (!choice.found) {
            std::fprintf(io.err, "%s\n(no keyboard interface %s is listed)\n", kNotConnected,
                         devicePath.c_str());
            return kNoKeyboard;
        }
        if (!singleOut(choice.entry)) {
            std::fprintf(io.err,
                         "vantacorv-cli: %s is not the first keyboard of the system; only the "
                         "first one can be opened\n",
                         devicePath.c_str());
            return kUsage;
        }
    }
    // The device type first: the name of one key code depends on it.
    CTavoHWI probe;
    model_ = newModel(language, probe.DetectDeviceType());
    return kDone;
}

int Keyboard::open(Output& io) {
    if (model_->deviceType == 0 || !model_->device.__createDev()) {
        std::fprintf(io.err, "%s\n", kNotConnected);
        return kNoKeyboard;
    }
    // The library keeps a keyboard it could not open; its first transfer
    // would fail. Say so now, before anything is attempted.
    if (const auto error = platform::hidLastOpenError(); error != platform::OpenError::None) {
        std::fprintf(io.err, "%s\n(%s)\n", kOccupiedText, platform::hidOpenErrorText(error));
        return kOccupied;
    }
    claim_.emplace(*model_);
    if (!claim_->owns()) {
        std::fprintf(io.err, "%s\n(another operation is using it)\n", kOccupiedText);
        return kOccupied;
    }
    return kDone;
}

bool Keyboard::confirmWritesTaken() {
    wchar_t version[64] = {};
    return model_->device.ReadKeyboardVersion(version);
}

int Keyboard::selectAndOpen(const std::string& devicePath, const std::string& language,
                            Output& io) {
    if (const int code = select(devicePath, language, io); code != kDone)
        return code;
    return open(io);
}

int refuseOnCorv(const char* commandName, Output& io) {
    std::fprintf(io.err,
                 "vantacorv-cli %s: the attached keyboard is a Corv, whose lighting is left "
                 "alone; only a Vanta takes colours\n",
                 commandName);
    return kUsage;
}

int deviceFailed(const char* step, Output& io) {
    std::fprintf(io.err, "The keyboard did not complete %s.\n", step);
    return kDeviceFailed;
}

} // namespace cli
