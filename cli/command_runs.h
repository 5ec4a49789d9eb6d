// The entry of every command, each defined in the file of its group; the
// table in commands.cpp names them.
#pragma once

#include "commands.h"

namespace cli {

// device_commands.cpp
int runList(const Arguments& args, Output& io);
int runVersion(const Arguments& args, Output& io);
int runWriteKeys(const Arguments& args, Output& io);
int runWriteLights(const Arguments& args, Output& io);
int runWrite(const Arguments& args, Output& io);
int runRead(const Arguments& args, Output& io);
int runCounters(const Arguments& args, Output& io);

// colour_commands.cpp
int runSetAll(const Arguments& args, Output& io);
int runSet(const Arguments& args, Output& io);

// verify.cpp
int runVerify(const Arguments& args, Output& io);

// profile_commands.cpp
int runShow(const Arguments& args, Output& io);

// firmware_command.cpp
int runFirmware(const Arguments& args, Output& io);

} // namespace cli
