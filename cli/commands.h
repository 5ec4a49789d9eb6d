// The commands of vantacorv-cli.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace cli {

struct Output {
    std::FILE* out;
    std::FILE* err;
};

using Arguments = std::vector<std::string>;

struct Command {
    const char* name;
    const char* summary;
    const char* usage; // full help text of the command
    int (*run)(const Arguments& args, Output& io);
};

const std::vector<Command>& commands();

// Runs the command line (argv without the program name).
int runCommandLine(const Arguments& args, Output& io);

} // namespace cli
