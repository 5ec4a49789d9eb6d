#include "commands.h"

int main(int argc, char** argv) {
    cli::Output io{stdout, stderr};
    return cli::runCommandLine(cli::Arguments(argv + 1, argv + argc), io);
}
