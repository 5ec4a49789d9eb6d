// firmware: the download of a firmware image, with the firmware dialog's
// checks of the file's name by the attached model and its result texts.
#include "command_runs.h"

#include "exit_codes.h"
#include "firmware_names.h"
#include "keyboard.h"
#include "options.h"
#include "progress.h"

#include <fstream>
#include <iterator>
#include <vector>

namespace cli {

namespace {

constexpr int kFirmwareSteps = 150;
// Far above any image of this keyboard, and within the library's int length.
constexpr std::streamoff kMaxImageBytes = 64LL << 20;

struct Texts {
    const char* zh;
    const char* en;
    const char* in(const std::string& language) const { return language == "zh-CN" ? zh : en; }
};

constexpr Texts kDownloaded = {
    "펌웨어가 다운로드가 시작됩니다 모든 작업이 완료될 때까지 USB 연결을 끊지 마세요 키보드가 "
    "다시 시작됩니다.",
    "The Firmware is downloaded successfully.\r\nPlease keep the USB plug in until Update "
    "complete.\r\nKeyboard will be restarted."};
constexpr Texts kDownloadFailed = {"펌웨어 다운로드 실패!", "Firmware download failed."};
constexpr Texts kCannotOpen = {"펌웨어 파일을 열지 못했습니다", "Can't open firmware file"};

// A message box's text on a terminal: its line breaks as the terminal's.
void printText(std::FILE* to, const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            out += text[i];
    std::fprintf(to, "%s\n", out.c_str());
}

bool readImage(const std::string& path, std::vector<char>& image) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file)
        return false;
    const std::streamoff size = file.tellg();
    if (size < 0 || size > kMaxImageBytes)
        return false;
    file.seekg(0);
    image.assign(static_cast<std::size_t>(size) + 1, '\0');
    return static_cast<bool>(file.read(image.data(), size)) || size == 0;
}

} // namespace

int runFirmware(const Arguments& args, Output& io) {
    Invocation inv;
    if (const int code = parseInvocation("firmware", args, 1, kAllOptions, inv, io); code != kDone)
        return code;
    const std::string& path = inv.positional[0];
    Keyboard keyboard;
    if (const int code = keyboard.select(inv.device, inv.language, io); code != kDone)
        return code;
    if (keyboard.model().deviceType == 0) // nothing to check the name against
        return keyboard.open(io);

    const FirmwareFamily& family = firmwareFamilyOf(keyboard.model().deviceType);
    const std::string name = fileNameOf(path);
    if (!nameMatches(name, family.choosePrefix)) {
        std::fprintf(io.err, "%s: %s\n", keyboard.modelName(), family.mismatchText);
        return kBadInput;
    }
    if (!nameMatches(name, family.downloadPrefix)) {
        std::fprintf(io.err, "%s: %s\n", keyboard.modelName(), kFirmwareDoesNotMatch);
        return kBadInput;
    }
    std::vector<char> image;
    if (!readImage(path, image)) {
        std::fprintf(io.err, "%s: %s\n", kCannotOpen.in(inv.language), path.c_str());
        return kBadInput;
    }
    if (image.size() == 1) {
        std::fprintf(io.err, "vantacorv-cli: %s: the firmware file is empty\n", path.c_str());
        return kBadInput;
    }
    if (const int code = keyboard.open(io); code != kDone)
        return code;

    Progress progress(io.err, "Downloading firmware", kFirmwareSteps, 1);
    const int length = static_cast<int>(image.size() - 1);
    const bool ok =
        keyboard.model().device.WriteFirmwareToKeyboard(image.data(), length, progress.window());
    progress.finish(ok);
    if (!ok) {
        printText(io.err, kDownloadFailed.in(inv.language));
        return kDeviceFailed;
    }
    printText(io.out, kDownloaded.in(inv.language));
    return kDone;
}

} // namespace cli
