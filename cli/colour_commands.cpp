// set-all and set: colours changed straight on the keyboard (a Vanta).
#include "command_runs.h"

#include "exit_codes.h"
#include "keyboard.h"
#include "options.h"
#include "profile_file.h"

namespace cli {

namespace {

void printColour(Output& io, const std::string& what, const std::array<int, 3>& c) {
    std::fprintf(io.out, "%s set to %02x%02x%02x.\n", what.c_str(), c[0], c[1], c[2]);
}

} // namespace

int runSetAll(const Arguments& args, Output& io) {
    Invocation inv;
    if (const int code = parseInvocation("set-all", args, 1, kAllOptions, inv, io); code != kDone)
        return code;
    const auto colour = parseColour(inv.positional[0]);
    if (!colour)
        return usageError("set-all", "'" + inv.positional[0] + "' is not a colour RRGGBB", io);
    Keyboard keyboard;
    if (const int code = keyboard.select(inv.device, inv.language, io); code != kDone)
        return code;
    if (keyboard.isCorv())
        return refuseOnCorv("set-all", io);
    if (const int code = keyboard.open(io); code != kDone)
        return code;
    CTavoModel& model = keyboard.model();
    for (int k = 1; k <= 104; ++k)
        for (int c = 0; c < 3; ++c)
            model.keyColour[k][c] = (*colour)[static_cast<std::size_t>(c)];
    if (!model.writeLightToDevice() || !model.confirmWritesTaken())
        return deviceFailed("writing the colours", io);
    printColour(io, "Every key", *colour);
    return kDone;
}

int runSet(const Arguments& args, Output& io) {
    Invocation inv;
    if (const int code = parseInvocation("set", args, 2, kAllOptions, inv, io); code != kDone)
        return code;
    std::string why;
    const auto key = parseKey(inv.positional[0], why);
    if (!key)
        return usageError("set", why, io);
    const auto colour = parseColour(inv.positional[1]);
    if (!colour)
        return usageError("set", "'" + inv.positional[1] + "' is not a colour RRGGBB", io);
    Keyboard keyboard;
    if (const int code = keyboard.select(inv.device, inv.language, io); code != kDone)
        return code;
    if (keyboard.isCorv())
        return refuseOnCorv("set", io);
    if (const int code = keyboard.open(io); code != kDone)
        return code;
    // The keyboard takes the whole light area at once: the other keys keep
    // the colours it holds now.
    CTavoModel& model = keyboard.model();
    if (!model.readLightFromDevice())
        return deviceFailed("reading the colours", io);
    for (int c = 0; c < 3; ++c)
        model.keyColour[*key][c] = (*colour)[static_cast<std::size_t>(c)];
    if (!model.writeLightToDevice() || !model.confirmWritesTaken())
        return deviceFailed("writing the colours", io);
    printColour(io, keyName(*key), *colour);
    return kDone;
}

} // namespace cli
