#include "commands.h"

#include "exit_codes.h"
#include "hwi/TavoHWI.h"
#include "pathmatch.h"
#include "platform/codepage.h"
#include "platform/hid.h"

#include <cstring>

namespace cli {

namespace {

constexpr const char* kNotConnected = "Keyboard is not connected!";
constexpr const char* kOccupiedText = "Keyboard has be occupied!";

// Device type 2 is the Corv; every other keyboard type is a Vanta.
const char* modelNameOfType(int type) { return type == 2 ? "Corv" : "Vanta"; }

bool wantsHelp(const Arguments& args) {
    for (const auto& arg : args)
        if (arg == "--help" || arg == "-h")
            return true;
    return false;
}

int usageError(const Command& command, const std::string& message, Output& io) {
    std::fprintf(io.err, "vantacorv-cli %s: %s\n\n%s", command.name, message.c_str(), command.usage);
    return kUsage;
}

// Opens the keyboard and turns the two ways of failing into exit codes.
int openKeyboard(CTavoHWI& hwi, Output& io) {
    if (!hwi.__createDev()) {
        std::fprintf(io.err, "%s\n", kNotConnected);
        return kNoKeyboard;
    }
    return kDone;
}

// A transfer failed: occupied when the keyboard could not be opened at all,
// otherwise the keyboard did not complete the operation.
int transferFailed(const char* what, Output& io) {
    const platform::OpenError openError = platform::hidLastOpenError();
    if (openError != platform::OpenError::None) {
        std::fprintf(io.err, "%s\n(%s)\n", kOccupiedText, platform::hidOpenErrorText(openError));
        return kOccupied;
    }
    std::fprintf(io.err, "The keyboard did not complete %s.\n", what);
    return kDeviceFailed;
}

int runList(const Arguments& args, Output& io);
int runVersion(const Arguments& args, Output& io);

const std::vector<Command> kCommands = {
    {"list", "list the keyboard interfaces present",
     "usage: vantacorv-cli list\n"
     "\n"
     "Prints one line per keyboard interface present, in discovery order:\n"
     "  <index> <device type 1..3> <model Vanta|Corv> <interface path>\n"
     "The index is the interface's position among all HID interfaces; the program\n"
     "uses the first line. Exits with 4 when there is none.\n",
     runList},
    {"version", "print the keyboard's firmware version",
     "usage: vantacorv-cli version\n"
     "\n"
     "Opens the keyboard and prints its firmware version text.\n",
     runVersion},
};

int runList(const Arguments& args, Output& io) {
    const Command& self = kCommands[0];
    if (!args.empty())
        return usageError(self, "unexpected argument " + args[0], io);
    const auto entries = platform::hidEnumerate();
    int shown = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const int type = hwi::keyboardTypeOfPath(entries[i].path.c_str());
        if (type == 0)
            continue;
        std::fprintf(io.out, "%zu %d %s %s\n", i, type, modelNameOfType(type),
                     platform::wideToUtf8(entries[i].path).c_str());
        ++shown;
    }
    if (shown == 0) {
        std::fprintf(io.err, "%s\n", kNotConnected);
        return kNoKeyboard;
    }
    return kDone;
}

int runVersion(const Arguments& args, Output& io) {
    const Command& self = kCommands[1];
    if (!args.empty())
        return usageError(self, "unexpected argument " + args[0], io);
    CTavoHWI hwi;
    if (const int code = openKeyboard(hwi, io); code != kDone)
        return code;
    wchar_t text[64] = {};
    if (!hwi.ReadKeyboardVersion(text))
        return transferFailed("the version request", io);
    std::fprintf(io.out, "%s\n", platform::wideToUtf8(text).c_str());
    return kDone;
}

void printOverview(std::FILE* to) {
    std::fprintf(to, "usage: vantacorv-cli <command> [options]\n\ncommands:\n");
    for (const auto& command : kCommands)
        std::fprintf(to, "  %-10s %s\n", command.name, command.summary);
    std::fprintf(to,
                 "\n'vantacorv-cli <command> --help' tells more about a command.\n"
                 "Exit codes: 0 done, 1 the keyboard did not complete the operation, 2 wrong usage,\n"
                 "3 a bad input file, 4 no keyboard, 5 keyboard occupied.\n");
}

} // namespace

const std::vector<Command>& commands() { return kCommands; }

int runCommandLine(const Arguments& args, Output& io) {
    if (args.empty()) {
        printOverview(io.err);
        return kUsage;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        printOverview(io.out);
        return kDone;
    }
    for (const auto& command : kCommands) {
        if (args[0] != command.name)
            continue;
        const Arguments rest(args.begin() + 1, args.end());
        if (wantsHelp(rest)) {
            std::fputs(command.usage, io.out);
            return kDone;
        }
        return command.run(rest, io);
    }
    std::fprintf(io.err, "vantacorv-cli: unknown command '%s'\n\n", args[0].c_str());
    printOverview(io.err);
    return kUsage;
}

} // namespace cli
