#include "commands.h"

#include "command_runs.h"
#include "exit_codes.h"

namespace cli {

namespace {

#define KEYBOARD_OPTIONS                                                                           \
    "options:\n"                                                                                   \
    "  --device PATH   the keyboard interface to use, as 'list' prints it (its path or\n"          \
    "                  its index); without it the first keyboard is used\n"                        \
    "  --lang LANG     en-US (default) or zh-CN, for the texts that exist in both\n"

// The commands, in the order the overview lists them.
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
     "usage: vantacorv-cli version [options]\n"
     "\n"
     "Opens the keyboard and prints its firmware version text.\n"
     "\n" KEYBOARD_OPTIONS,
     runVersion},
    {"write-keys", "write a profile's key assignments to the keyboard",
     "usage: vantacorv-cli write-keys FILE.pro [options]\n"
     "\n"
     "Loads the profile and writes the assignments of all 208 slots (104 keys on the\n"
     "top and the Fn layer; slots the profile leaves unset become empty). A profile\n"
     "that cannot be read exits with 3 before anything is sent.\n"
     "\n" KEYBOARD_OPTIONS,
     runWriteKeys},
    {"write-lights", "write a profile's key colours to a Vanta",
     "usage: vantacorv-cli write-lights FILE.pro [options]\n"
     "\n"
     "Loads the profile and writes the backlight colours of the 104 keys. A Corv's\n"
     "lighting is left alone: on a Corv the command is refused (exit 2).\n"
     "\n" KEYBOARD_OPTIONS,
     runWriteLights},
    {"write", "write a profile's keys, then its colours",
     "usage: vantacorv-cli write FILE.pro [options]\n"
     "\n"
     "write-keys, then write-lights; on a Corv only the keys are written.\n"
     "\n" KEYBOARD_OPTIONS,
     runWrite},
    {"read", "read the keyboard's keys and colours into a profile",
     "usage: vantacorv-cli read FILE.pro [options]\n"
     "\n"
     "Reads every key definition and the colours from the keyboard and saves them as\n"
     "a profile. The file is written only when the whole read succeeded.\n"
     "\n" KEYBOARD_OPTIONS,
     runRead},
    {"verify", "compare the keyboard with a profile",
     "usage: vantacorv-cli verify FILE.pro [options]\n"
     "\n"
     "Reads the keyboard and compares, slot by slot, the key definitions it holds with\n"
     "the ones the profile writes (on a Vanta also the colours, key by key). Prints\n"
     "each difference with both assignments; exits with 1 when there is any.\n"
     "\n" KEYBOARD_OPTIONS,
     runVerify},
    {"set-all", "give every key of a Vanta one colour",
     "usage: vantacorv-cli set-all RRGGBB [options]\n"
     "\n"
     "Sets the backlight of all 104 keys to the colour RRGGBB (hexadecimal, e.g.\n"
     "ff8000). Refused on a Corv (exit 2).\n"
     "\n" KEYBOARD_OPTIONS,
     runSetAll},
    {"set", "give one key of a Vanta a colour",
     "usage: vantacorv-cli set KEY RRGGBB [options]\n"
     "\n"
     "Sets the backlight of one key; the other keys keep the colours the keyboard\n"
     "holds. KEY is a key index 1..104 or the label on the key's cap (Esc, F1, A,\n"
     "Space, KPEnter, ...); the digit keys and the keys whose label appears twice\n"
     "(Shift, Ctrl, Alt) are given by their index. Refused on a Corv (exit 2).\n"
     "\n" KEYBOARD_OPTIONS,
     runSet},
    {"counters", "print the press counters of all keys",
     "usage: vantacorv-cli counters [options]\n"
     "\n"
     "Reads the keyboard's press counters and prints one line per key, then the most\n"
     "and the least pressed key (keys never pressed are not the least pressed).\n"
     "\n" KEYBOARD_OPTIONS,
     runCounters},
    {"show", "print a profile's assignments",
     "usage: vantacorv-cli show FILE.pro [--lang LANG]\n"
     "\n"
     "Prints one line per assigned slot: the key, the layer (top or Fn), the mode and\n"
     "the assignment as the main window describes it, separated by tabs. No keyboard\n"
     "is needed.\n"
     "\n"
     "options:\n"
     "  --lang LANG     en-US (default) or zh-CN, for the mode names\n",
     runShow},
    {"firmware", "download a firmware image to the keyboard",
     "usage: vantacorv-cli firmware FILE.bin [options]\n"
     "\n"
     "Downloads the firmware image (Intel HEX text) with a progress display. The\n"
     "file's name must begin with the attached model's family: 731RV(XRGB)WP_ for a\n"
     "Vanta, 731RV(XLED)WP_ for a Corv (exit 3 otherwise). The keyboard restarts\n"
     "after a successful download.\n"
     "\n" KEYBOARD_OPTIONS,
     runFirmware},
};

#undef KEYBOARD_OPTIONS

bool wantsHelp(const Arguments& args) {
    for (const auto& arg : args)
        if (arg == "--help" || arg == "-h")
            return true;
    return false;
}

void printOverview(std::FILE* to) {
    std::fprintf(to, "usage: vantacorv-cli <command> [options]\n\ncommands:\n");
    for (const auto& command : kCommands)
        std::fprintf(to, "  %-12s %s\n", command.name, command.summary);
    std::fprintf(to,
                 "\n'vantacorv-cli <command> --help' tells more about a command.\n"
                 "Exit codes: 0 done, 1 the keyboard did not complete the operation (or verify\n"
                 "found a difference), 2 wrong usage, 3 a bad input file, 4 no keyboard,\n"
                 "5 keyboard occupied.\n");
}

} // namespace

const std::vector<Command>& commands() {
    return kCommands;
}

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
