#pragma once

// The command line's exit codes, the same for every command.
namespace cli {

enum ExitCode {
    kDone = 0,         // the operation completed
    kDeviceFailed = 1, // the keyboard did not complete the operation
    kUsage = 2,        // wrong usage
    kBadInput = 3,     // a bad input file
    kNoKeyboard = 4,   // "Keyboard is not connected!"
    kOccupied = 5,     // "Keyboard has be occupied!"
};

} // namespace cli
