// Reading a profile for the command line: the file must be a whole, well-formed
// profile whose values the keyboard can take, or the command stops with exit
// code 3 before the keyboard is touched.
#pragma once

#include "TavoModel.h"
#include "commands.h"

#include <string>

namespace cli {

// Loads path into model. On failure prints "vantacorv-cli: PATH: reason" and
// returns kBadInput; kDone otherwise.
int loadProfile(CTavoModel& model, const std::string& path, Output& io);

// What is wrong with the values of a loaded model, or an empty text: modes
// outside 0..8, colours outside 0..255, one-code assignments without an HW
// code of the keyboard, lists whose steps would not travel in their form.
std::string checkConfiguration(const CTavoModel& model);

// "key 43 A, Fn layer" and the like, for messages about one slot.
std::string slotName(int keyIndex, int layer);
std::string keyName(int keyIndex);

} // namespace cli
