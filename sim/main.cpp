// vantacorv-sim: a simulated keyboard served on a Unix socket until SIGTERM
// or SIGINT, with its memory kept in a state file.
#include "options.h"
#include "sim_keyboard.h"
#include "sim_server.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

sim::SimServer* g_server = nullptr;

extern "C" void onSignal(int) {
    if (g_server)
        g_server->requestStop();
}

const char kUsage[] =
    "usage: vantacorv-sim --model vanta|corv|522b --socket PATH --state FILE [options]\n"
    "\n"
    "Serves a simulated keyboard on the Unix socket PATH until SIGTERM or SIGINT.\n"
    "Loads its memory from FILE when FILE exists, saves it there after every\n"
    "finished transfer and on exit. Programs find it through VANTACORV_SIM=PATH\n"
    "(several paths separated by ':'). sim/README.md describes the state file.\n"
    "\n"
    "  --model MODEL            vanta (product 502b), corv (512b) or 522b\n"
    "  --socket PATH            the socket to serve on\n"
    "  --state FILE             the state file (JSON)\n"
    "  --version TEXT           firmware version text, at most 62 bytes\n"
    "  --next-version TEXT      version text after a firmware download restarted\n"
    "                           the keyboard (without it the version stays)\n"
    "  --counter KEY=N          press counter of key 1..104 (may be repeated)\n"
    "  --counters FILE          all 104 press counters, key 1 first, as numbers\n"
    "                           separated by white space or commas\n"
    "  --latency-us N           every report takes N microseconds each way\n"
    "                           (1000: a full-speed USB interrupt endpoint)\n"
    "  --restart-ms N           time away from discovery on a restart (2000)\n"
    "  --fault busy             refuse every open, as a keyboard held by another program\n"
    "  --fault silent           take every report and never answer\n"
    "  --fault silent-after=N   answer the first N reports, then none\n"
    "  --fault disconnect-after=N\n"
    "                           unplug as report N arrives (its answer is lost),\n"
    "                           then be present again\n"
    "  --fault garbage-every=N  send bytes of no meaning in place of every Nth reply\n"
    "Options given after the state file is read win over what it holds.\n";

int usageError(const std::string& message) {
    std::fprintf(stderr, "vantacorv-sim: %s\n\n%s", message.c_str(), kUsage);
    return 2;
}

int failure(const std::string& message, int code) {
    std::fprintf(stderr, "vantacorv-sim: %s\n", message.c_str());
    return code;
}

bool fileExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

bool readText(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream out;
    out << in.rdbuf();
    text = out.str();
    return true;
}

} // namespace

int main(int argc, char** argv) {
    std::string modelName, socketPath, statePath, version, nextVersion, countersPath;
    bool versionGiven = false, nextVersionGiven = false;
    std::vector<std::string> counterSettings;
    sim::Faults faults;
    sim::LinkTiming timing;
    std::string error;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (i + 1 >= argc)
            return usageError(arg.rfind("--", 0) == 0 ? arg + " needs a value"
                                                      : "unexpected " + arg);
        const std::string value = argv[++i];
        std::uint64_t number = 0;
        if (arg == "--model")
            modelName = value;
        else if (arg == "--socket")
            socketPath = value;
        else if (arg == "--state")
            statePath = value;
        else if (arg == "--version") {
            version = value;
            versionGiven = true;
        } else if (arg == "--next-version") {
            nextVersion = value;
            nextVersionGiven = true;
        } else if (arg == "--counter")
            counterSettings.push_back(value);
        else if (arg == "--counters")
            countersPath = value;
        else if (arg == "--latency-us") {
            if (!sim::parseNumber(value, 0, 10000000, number))
                return usageError(
                    "--latency-us needs a whole number of microseconds up to 10000000");
            timing.latencyUs = static_cast<int>(number);
        } else if (arg == "--restart-ms") {
            if (!sim::parseNumber(value, 0, 600000, number))
                return usageError("--restart-ms needs a whole number of milliseconds up to 600000");
            timing.restartMs = static_cast<int>(number);
        } else if (arg == "--fault") {
            if (!sim::parseFault(value, faults, error))
                return usageError(error);
        } else
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
    if (fileExists(statePath) && !keyboard.loadStateFile(statePath, error))
        return failure(error + " (the file is left as it is)", 3);
    if (versionGiven && !keyboard.setVersion(version))
        return usageError("--version must be at most 62 bytes");
    if (nextVersionGiven && !keyboard.setNextVersion(nextVersion))
        return usageError("--next-version must be at most 62 bytes");
    if (!countersPath.empty()) {
        std::string text;
        std::array<std::uint32_t, sim::SimKeyboard::kKeys> counters{};
        if (!readText(countersPath, text))
            return failure("cannot read " + countersPath, 3);
        if (!sim::parseCounterList(text, counters, error))
            return failure(countersPath + ": " + error, 3);
        keyboard.setCounters(counters);
    }
    for (const auto& setting : counterSettings) {
        int key = 0;
        std::uint32_t value = 0;
        if (!sim::parseCounterSetting(setting, key, value, error))
            return usageError(error);
        keyboard.setCounter(key, value);
    }
    keyboard.setFaults(faults);
    keyboard.setTiming(timing);

    sim::SimServer server(keyboard);
    if (!server.listen(socketPath, error))
        return failure(error, 1);
    server.setOnChange([&keyboard, &statePath] {
        std::string saveError;
        if (!keyboard.saveStateFile(statePath, saveError))
            std::fprintf(stderr, "vantacorv-sim: %s\n", saveError.c_str());
    });
    g_server = &server;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    server.run();
    g_server = nullptr;

    if (!keyboard.saveStateFile(statePath, error))
        return failure(error, 1);
    return 0;
}
