#include "verify.h"

#include "SlotArray.h"
#include "command_runs.h"
#include "exit_codes.h"
#include "keyboard.h"
#include "options.h"
#include "platform/codepage.h"
#include "profile_file.h"
#include "progress.h"

namespace cli {

namespace {

constexpr int kSlotSteps = 208;
constexpr int kReadCapacity = 65536;

std::string describe(const CTavoModel& model, int k, int l) {
    return platform::wideToUtf8(model.ModeName(model.keyMode[k][l])) + " \"" +
           platform::wideToUtf8(model.KeyAssignmentText(k, l)) + "\"";
}

std::string hexColour(const CTavoModel& model, int k) {
    char text[8];
    std::snprintf(text, sizeof text, "%02x%02x%02x", model.keyColour[k][0] & 0xff,
                  model.keyColour[k][1] & 0xff, model.keyColour[k][2] & 0xff);
    return text;
}

// The 208 definitions the library holds after a read, in its slot order.
bool keyboardArrays(CTavoModel& model, std::vector<std::vector<int>>& arrays) {
    std::vector<int> v(kReadCapacity);
    for (int l = 0; l < CTavoModel::kLayers; ++l) {
        for (int k = 1; k <= 104; ++k) {
            std::fill(v.begin(), v.end(), 0);
            if (!model.device.getKeyConfiguration(l, k, v.data(), kReadCapacity))
                return false;
            arrays.emplace_back(v.begin(), v.begin() + static_cast<long>(DefinitionLength(v)));
        }
    }
    return true;
}

} // namespace

std::vector<int> travelledForm(std::vector<int> v) {
    const std::vector<int> empty = {0, 0};
    v.resize(DefinitionLength(v));
    if (v.empty())
        return empty;
    // Form 0 and form 2 without codes or steps go out as an empty slot.
    if ((v[0] == 0 && v[1] == 0) || (v[0] == 2 && v[5] == 0))
        return empty;
    return v;
}

std::vector<std::string> compareKeys(const CTavoModel& profile, const CTavoModel& keyboard,
                                     const std::vector<std::vector<int>>& keyboardArrays) {
    std::vector<std::string> lines;
    std::size_t slot = 0;
    for (int l = 0; l < CTavoModel::kLayers; ++l) {
        for (int k = 1; k <= 104; ++k, ++slot) {
            const auto expected = travelledForm(SlotDefinitionArray(profile, k, l));
            const auto held = slot < keyboardArrays.size() ? travelledForm(keyboardArrays[slot])
                                                           : std::vector<int>{0, 0};
            if (expected == held)
                continue;
            const std::string mine = describe(profile, k, l);
            const std::string theirs = describe(keyboard, k, l);
            std::string line = slotName(k, l) + ": profile " + mine + ", keyboard " + theirs;
            if (mine == theirs)
                line += expected[0] == 0 ? " (codes differ)" : " (settings differ)";
            lines.push_back(line);
        }
    }
    return lines;
}

std::vector<std::string> compareColours(const CTavoModel& profile, const CTavoModel& keyboard) {
    std::vector<std::string> lines;
    for (int k = 1; k <= 104; ++k)
        if (profile.keyColour[k] != keyboard.keyColour[k])
            lines.push_back(keyName(k) + ": colour profile " + hexColour(profile, k) +
                            ", keyboard " + hexColour(keyboard, k));
    return lines;
}

int runVerify(const Arguments& args, Output& io) {
    Invocation inv;
    if (const int code = parseInvocation("verify", args, 1, kAllOptions, inv, io); code != kDone)
        return code;
    const std::string& path = inv.positional[0];
    Keyboard keyboard;
    if (const int code = keyboard.select(inv.device, inv.language, io); code != kDone)
        return code;
    CTavoModel& held = keyboard.model();
    auto profile = newModel(inv.language, held.deviceType);
    if (const int code = loadProfile(*profile, path, io); code != kDone)
        return code;
    if (const int code = keyboard.open(io); code != kDone)
        return code;

    {
        Progress progress(io.err, "Reading keys", kSlotSteps, 0);
        const bool ok = held.readKeysFromDevice(progress.window());
        progress.finish(ok);
        if (!ok)
            return deviceFailed("reading the keys", io);
    }
    std::vector<std::vector<int>> arrays;
    if (!keyboardArrays(held, arrays))
        return deviceFailed("reading the keys", io);
    std::vector<std::string> lines = compareKeys(*profile, held, arrays);
    if (!keyboard.isCorv()) {
        if (!held.readLightFromDevice())
            return deviceFailed("reading the colours", io);
        const auto colours = compareColours(*profile, held);
        lines.insert(lines.end(), colours.begin(), colours.end());
    }

    for (const auto& line : lines)
        std::fprintf(io.out, "%s\n", line.c_str());
    if (lines.empty()) {
        std::fprintf(io.out, "The keyboard holds %s.\n", path.c_str());
        return kDone;
    }
    std::fprintf(io.out, "%zu difference%s between %s and the keyboard.\n", lines.size(),
                 lines.size() == 1 ? "" : "s", path.c_str());
    return kDeviceFailed;
}

} // namespace cli
