// vantacorv-sim: a simulated keyboard served on a Unix socket until SIGTERM
// or SIGINT, with its memory kept in a state file.
#include "sim_keyboard.h"
#include "sim_server.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>

namespace {

sim::SimServer* g_server = nullptr;

extern "C" void onSignal(int) {
    if (g_server)
        g_server->requestStop();
}

const char kUsage[] =
    "usage: vantacorv-sim --model vanta|corv|522b --socket PATH --state FILE\n"
    "                     [--version TEXT] [--fault busy] [--fault silent]\n"
    "\n"
    "Serves a simulated keyboard on the Unix socket PATH until SIGTERM or SIGINT.\n"
    "Loads its memory from FILE when FILE exists and saves it there on exit.\n"
    "Programs find it through VANTACORV_SIM=PATH (several paths separated by ':').\n"
    "\n"
    "  --model MODEL    vanta (product 502b), corv (512b) or 522b\n"
    "  --socket PATH    the socket to serve on\n"
    "  --state FILE     the state file (JSON)\n"
    "  --version TEXT   firmware version text, at most 62 bytes\n"
    "  --fault busy     refuse every open, as a keyboard held by another program\n"
    "  --fault silent   take every report and never answer\n";

int usageError(const std::string& message) {
    std::fprintf(stderr, "vantacorv-sim: %s\n\n%s", message.c_str(), kUsage);
    return 2;
}

bool fileExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

} // namespace

int main(int argc, char** argv) {
    std::string modelName, socketPath, statePath, version;
    bool versionGiven = false;
    sim::Faults faults;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (i + 1 >= argc)
            return usageError(arg.rfind("--", 0) == 0 ? arg + " needs a value" : "unexpected " + arg);
        const std::string value = argv[++i];
        if (arg == "--model")
            modelName = value;
        else if (arg == "--socket")
            socketPath = value;
        else if (arg == "--state")
            statePath = value;
        else if (arg == "--version") {
            version = value;
            versionGiven = true;
        } else if (arg == "--fault" && value == "busy")
            faults.busy = true;
        else if (arg == "--fault" && value == "silent")
            faults.silent = true;
        else if (arg == "--fault")
            return usageError("unknown fault " + value);
        else
            return usageError("unknown option " + arg);
    }
    sim::Model model;
    if (!sim::modelFromName(modelName, model))
        return usageError(modelName.empty() ? "--model is required" : "unknown model " + modelName);
    if (socketPath.empty())
        return usageError("--socket is required");
    if (statePath.empty())
        return usageError("--state is required");

    sim::SimKeyboard keyboard(model);
    std::string error;
    if (fileExists(statePath) && !keyboard.loadStateFile(statePath, error)) {
        std::fprintf(stderr, "vantacorv-sim: %s\n", error.c_str());
        return 3;
    }
    if (versionGiven && !keyboard.setVersion(version))
        return usageError("--version must be at most 62 bytes");
    keyboard.setFaults(faults);

    sim::SimServer server(keyboard);
    if (!server.listen(socketPath, error)) {
        std::fprintf(stderr, "vantacorv-sim: %s\n", error.c_str());
        return 1;
    }
    g_server = &server;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    server.run();
    g_server = nullptr;

    if (!keyboard.saveStateFile(statePath, error)) {
        std::fprintf(stderr, "vantacorv-sim: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
