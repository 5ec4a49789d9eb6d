// The commands that list keyboards and move whole configurations: version,
// writing keys and colours from a profile, reading a keyboard into one, the
// press counters.
#include "command_runs.h"

#include "SlotArray.h"
#include "exit_codes.h"
#include "keyboard.h"
#include "options.h"
#include "pathmatch.h"
#include "platform/codepage.h"
#include "platform/hid.h"
#include "profile_file.h"
#include "progress.h"

#include <cstdint>

namespace cli {

namespace {

constexpr int kSlotSteps = 208;
constexpr const char* kFailedVersionText[2] = {"키보드 버전 읽기 실패",
                                               "Failed on reading keyboard version infomation"};

// Every assigned slot must be a definition the library takes: it refuses,
// without sending anything, an array that does not fit the wire form. Checked
// before the write so that such a profile is a bad file, not a failed write.
int checkSlotsFit(Keyboard& keyboard, const std::string& path, Output& io) {
    CTavoModel& model = keyboard.model();
    for (int l = 0; l < CTavoModel::kLayers; ++l) {
        for (int k = 1; k <= 104; ++k) {
            std::vector<int> v = SlotDefinitionArray(model, k, l);
            if (v.empty())
                continue;
            if (!model.device.setKeyConfiguration(l, k, v.data(), static_cast<int>(v.size()))) {
                std::fprintf(io.err,
                             "vantacorv-cli: %s: %s: the assignment does not fit a key "
                             "definition of the keyboard\n",
                             path.c_str(), slotName(k, l).c_str());
                return kBadInput;
            }
        }
    }
    model.device.prepare();
    return kDone;
}

int writeKeys(Keyboard& keyboard, Output& io) {
    Progress progress(io.err, "Writing keys", kSlotSteps, 0);
    CTavoModel& model = keyboard.model();
    const bool ok = model.writeKeysToDevice(progress.window()) && model.confirmWritesTaken();
    progress.finish(ok);
    return ok ? kDone : deviceFailed("writing the keys", io);
}

int writeLights(Keyboard& keyboard, Output& io) {
    CTavoModel& model = keyboard.model();
    const bool ok = model.writeLightToDevice() && model.confirmWritesTaken();
    return ok ? kDone : deviceFailed("writing the colours", io);
}

// What write-keys, write-lights and write share: load, open, check, send.
int writeProfile(const char* name, const Arguments& args, bool keys, bool lights, Output& io) {
    Invocation inv;
    if (const int code = parseInvocation(name, args, 1, kAllOptions, inv, io); code != kDone)
        return code;
    const std::string& path = inv.positional[0];
    Keyboard keyboard;
    if (const int code = keyboard.select(inv.device, inv.language, io); code != kDone)
        return code;
    if (!keys && keyboard.isCorv())
        return refuseOnCorv(name, io);
    if (const int code = loadProfile(keyboard.model(), path, io); code != kDone)
        return code;
    if (const int code = keyboard.open(io); code != kDone)
        return code;
    // A Corv's lighting is left alone, as the program does.
    lights = lights && !keyboard.isCorv();
    if (keys) {
        if (const int code = checkSlotsFit(keyboard, path, io); code != kDone)
            return code;
        if (const int code = writeKeys(keyboard, io); code != kDone)
            return code;
        std::fprintf(io.out, "Keys written from %s.\n", path.c_str());
    }
    if (lights) {
        if (const int code = writeLights(keyboard, io); code != kDone)
            return code;
        std::fprintf(io.out, "Colours written from %s.\n", path.c_str());
    }
    return kDone;
}

} // namespace

int runList(const Arguments& args, Output& io) {
    Invocation inv;
    if (const int code = parseInvocation("list", args, 0, kNoOptions, inv, io); code != kDone)
        return code;
    const auto entries = platform::hidEnumerate();
    int shown = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const int type = hwi::keyboardTypeOfPath(entries[i].path.c_str());
        if (type == 0)
            continue;
        std::fprintf(io.out, "%zu %d %s %s\n", i, type, type == 2 ? "Corv" : "Vanta",
                     platform::wideToUtf8(entries[i].path).c_str());
        ++shown;
    }
    if (shown == 0) {
        std::fprintf(io.err, "Keyboard is not connected!\n");
        return kNoKeyboard;
    }
    return kDone;
}

int runVersion(const Arguments& args, Output& io) {
    Invocation inv;
    if (const int code = parseInvocation("version", args, 0, kAllOptions, inv, io); code != kDone)
        return code;
    Keyboard keyboard;
    if (const int code = keyboard.selectAndOpen(inv.device, inv.language, io); code != kDone)
        return code;
    wchar_t text[64] = {};
    if (!keyboard.model().device.ReadKeyboardVersion(text)) {
        // The program's message, and the same reason the other commands give.
        std::fprintf(io.err, "%s (the keyboard did not complete the version request)\n",
                     kFailedVersionText[inv.language == "zh-CN" ? 0 : 1]);
        return kDeviceFailed;
    }
    std::fprintf(io.out, "%s\n", platform::wideToUtf8(text).c_str());
    return kDone;
}

int runWriteKeys(const Arguments& args, Output& io) {
    return writeProfile("write-keys", args, true, false, io);
}

int runWriteLights(const Arguments& args, Output& io) {
    return writeProfile("write-lights", args, false, true, io);
}

int runWrite(const Arguments& args, Output& io) {
    return writeProfile("write", args, true, true, io);
}

int runRead(const Arguments& args, Output& io) {
    Invocation inv;
    if (const int code = parseInvocation("read", args, 1, kAllOptions, inv, io); code != kDone)
        return code;
    const std::string& path = inv.positional[0];
    Keyboard keyboard;
    if (const int code = keyboard.selectAndOpen(inv.device, inv.language, io); code != kDone)
        return code;
    CTavoModel& model = keyboard.model();
    {
        Progress progress(io.err, "Reading keys", kSlotSteps, 0);
        const bool ok = model.readKeysFromDevice(progress.window());
        progress.finish(ok);
        if (!ok)
            return deviceFailed("reading the keys", io);
    }
    if (!model.readLightFromDevice())
        return deviceFailed("reading the colours", io);
    // Only a whole read is saved; a file that was there stays until then.
    if (!model.SaveProfile(platform::utf8ToWide(path))) {
        std::fprintf(io.err, "vantacorv-cli: %s: the profile could not be written\n", path.c_str());
        return kBadInput;
    }
    std::fprintf(io.out, "Keys and colours read into %s.\n", path.c_str());
    return kDone;
}

int runCounters(const Arguments& args, Output& io) {
    Invocation inv;
    if (const int code = parseInvocation("counters", args, 0, kAllOptions, inv, io); code != kDone)
        return code;
    Keyboard keyboard;
    if (const int code = keyboard.selectAndOpen(inv.device, inv.language, io); code != kDone)
        return code;
    CTavoModel& model = keyboard.model();
    if (!model.readPressCounters())
        return deviceFailed("reading the press counters", io);
    auto count = [&](int k) { return static_cast<std::uint32_t>(model.pressCount[k]); };
    for (int k = 1; k <= 104; ++k)
        std::fprintf(io.out, "%s: %u\n", keyName(k).c_str(), count(k));
    auto extreme = [&](const char* what, int k) {
        if (k < 1)
            std::fprintf(io.out, "%s: none\n", what);
        else
            std::fprintf(io.out, "%s: %s (%u)\n", what, keyName(k).c_str(), count(k));
    };
    extreme("most pressed", model.mostPressedKey);
    extreme("least pressed", model.leastPressedKey);
    return kDone;
}

} // namespace cli
