#include "StartOptions.h"

namespace shell {

StartOptions parseStartOptions(const std::vector<std::string>& args) {
    StartOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string value;
        bool hasValue = false;
        if (a.rfind("--simulate=", 0) == 0) {
            value = a.substr(11);
            hasValue = true;
        } else if (a == "--simulate") {
            if (i + 1 >= args.size()) {
                o.error = "--simulate needs a model: vanta or corv";
                return o;
            }
            value = args[++i];
            hasValue = true;
        }
        // --profile PATH / --screenshot PATH, or with '='.
        const auto pathOption = [&](const char* name, std::string& into) {
            const std::string flag = name;
            if (a.rfind(flag + "=", 0) == 0) {
                into = a.substr(flag.size() + 1);
            } else if (a == flag) {
                if (i + 1 >= args.size()) {
                    o.error = flag + " needs a file";
                    return true;
                }
                into = args[++i];
            } else {
                return false;
            }
            if (into.empty())
                o.error = flag + " needs a file";
            return true;
        };
        if (pathOption("--profile", o.profile) || pathOption("--screenshot", o.screenshot)) {
            if (!o.error.empty())
                return o;
            continue;
        }
        if (hasValue) {
            if (value != "vanta" && value != "corv") {
                o.error = "unknown model for --simulate: " + value + " (vanta or corv)";
                return o;
            }
            o.simulate = value;
        } else if (a == "--first-paint-exit") {
            o.firstPaintExit = true;
        } else if (a == "--help" || a == "-h") {
            o.help = true;
        } else {
            o.error = "unknown argument: " + a;
            o.unknownArgument = true;
            return o;
        }
    }
    return o;
}

const char* startUsage() {
    return "usage: vantacorv [--simulate vanta|corv] [--profile FILE] [--screenshot FILE.png]\n"
           "                 [--first-paint-exit]\n"
           "  --simulate MODEL    run on a simulated keyboard inside the program\n"
           "  --profile FILE      open this profile (.pro) once the main window is up\n"
           "  --screenshot FILE   write the main window as first shown to a PNG file and quit\n"
           "  --first-paint-exit  print the time to the main window's first paint and quit\n"
           "With VANTACORV_SIM=SOCKET the program also lists a vantacorv-sim daemon's keyboard.\n";
}

} // namespace shell
