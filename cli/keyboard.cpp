#include "keyboard.h"

#include "exit_codes.h"
#include "pathmatch.h"
#include "platform/codepage.h"
#include "platform/hid.h"

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
        platform::hidShowOnly(choice.entry.path);
        model_ = newModel(language, hwi::keyboardTypeOfPath(choice.entry.path.c_str()));
        return kDone;
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
