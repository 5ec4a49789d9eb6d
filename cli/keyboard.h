// The keyboard a command works on: a configuration model of its own whose
// device is open on the chosen interface, claimed for one operation.
#pragma once

#include "DeviceGuard.h"
#include "TavoModel.h"
#include "commands.h"

#include <memory>
#include <optional>
#include <string>

namespace cli {

// A model with its tables built, in the given language, its configuration
// cleared as the main window clears it at start. deviceType names the model
// (2 Corv) for the texts that depend on it.
std::unique_ptr<CTavoModel> newModel(const std::string& language, int deviceType = 0);

class Keyboard {
  public:
    // Picks the interface (devicePath as `list` prints it, or its index there;
    // empty for the first keyboard, as the program picks it) and builds the
    // model for it, without opening anything. kDone, or the reason printed
    // and kNoKeyboard (no such interface).
    int select(const std::string& devicePath, const std::string& language, Output& io);
    // Opens the keyboard and claims it for this command's operation. On
    // failure prints the reason and returns kNoKeyboard or kOccupied.
    int open(Output& io);
    // select() and open() in one.
    int selectAndOpen(const std::string& devicePath, const std::string& language, Output& io);

    CTavoModel& model() { return *model_; }
    bool isCorv() const;
    const char* modelName() const { return isCorv() ? "Corv" : "Vanta"; }

  private:
    std::unique_ptr<CTavoModel> model_;
    std::optional<DeviceOperationGuard> claim_;
};

// The refusal of a colour command on a Corv; returns kUsage.
int refuseOnCorv(const char* commandName, Output& io);

// Prints "The keyboard did not complete <step>." and returns kDeviceFailed.
int deviceFailed(const char* step, Output& io);

} // namespace cli
