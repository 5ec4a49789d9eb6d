// The program's command line.
#pragma once

#include <string>
#include <vector>

namespace shell {

struct StartOptions {
    // "vanta" or "corv": run on an in-process simulated keyboard of that model.
    std::string simulate;
    // Print the time from start to the main window's first paint and the
    // resident memory then, and quit.
    bool firstPaintExit = false;
    // A profile to open once the main window is up, as its Open command would.
    std::string profile;
    // Write the main window, as first painted, to this PNG file and quit.
    std::string screenshot;
    bool help = false;
    // Set when the command line is wrong.
    std::string error;
    // The error is an argument this program does not know.
    bool unknownArgument = false;
};

// Reads the arguments after the program name. Arguments Qt takes for itself
// are removed before this runs.
StartOptions parseStartOptions(const std::vector<std::string>& args);

const char* startUsage();

} // namespace shell
