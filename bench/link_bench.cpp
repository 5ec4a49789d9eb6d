// How close the device library's transfers come to the link's own time.
//
// With the simulated keyboard at 1000 us a report (a full-speed interrupt
// endpoint: one report per millisecond each way) a transfer cannot take less
// than one millisecond per report it moves; whatever it takes beyond that is
// the library's. Each transfer is timed several times, in-process and through
// the vantacorv-sim daemon, and its best and median times are printed beside
// that floor. The target is a ratio of at most 1.05.
//
// usage: link_bench [runs]      (vantacorv-sim is looked for beside link_bench)
#include "hwi/TavoHWI.h"
#include "inprocess.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kLatencyUs = 1000;
constexpr double kTarget = 1.05;

struct Figure {
    std::string what;
    int reports;
    std::vector<double> ms;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Times one run of the transfer; false when it failed.
bool timeOnce(const std::function<bool()>& transfer, double& ms) {
    const auto start = Clock::now();
    const bool ok = transfer();
    ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    return ok;
}

// Writes an empty configuration: begin, 208 empty slots, end: 210 reports.
bool writeKeys(CTavoHWI& hwi) {
    return hwi.prepare() && hwi.writeKeyConfigurationToDev(nullptr);
}

// The link holds written reports ahead of the keyboard (the daemon's socket,
// the in-process link's queue), so a write returns before the keyboard has
// taken its last report; a version read behind them returns once all were.
bool writeKeysAndConfirm(CTavoHWI& hwi) {
    wchar_t text[64];
    return writeKeys(hwi) && hwi.ReadKeyboardVersion(text);
}

bool readAll(CTavoHWI& hwi) {
    return hwi.readKeyDefinationFromDev(nullptr);
}

// After an empty write the keyboard holds 208 blocks: the request, 208 blocks
// and the end marker are 210 reports.
constexpr int kConfirmedWriteReports = 210 + 2;
constexpr int kReadReports = 210;

bool measure(CTavoHWI& hwi, int runs, std::vector<Figure>& figures, const std::string& link) {
    Figure write{link + ": key write + version read", kConfirmedWriteReports, {}};
    Figure read{link + ": read all slots", kReadReports, {}};
    for (int i = 0; i < runs; ++i) {
        double ms = 0;
        if (!timeOnce([&] { return writeKeysAndConfirm(hwi); }, ms))
            return false;
        write.ms.push_back(ms);
        if (!timeOnce([&] { return readAll(hwi); }, ms))
            return false;
        read.ms.push_back(ms);
    }
    figures.push_back(write);
    figures.push_back(read);
    return true;
}

std::string besideMe(const std::string& program) {
    char self[4096];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return program;
    std::string path(self, static_cast<std::size_t>(n));
    return path.substr(0, path.rfind('/') + 1) + program;
}

bool waitForSocket(const std::string& path) {
    for (int i = 0; i < 500; ++i) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
        const bool up = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
        ::close(fd);
        if (up)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    ::setenv("VANTACORV_SIM_ONLY", "1", 1);
    std::vector<Figure> figures;

    {
        sim::SimKeyboard keyboard(sim::Model::Vanta);
        keyboard.setTiming({.latencyUs = kLatencyUs, .restartMs = 2000});
        sim::InProcessKeyboard attached(keyboard);
        CTavoHWI hwi;
        if (!hwi.__createDev() || !measure(hwi, runs, figures, "in-process")) {
            std::fprintf(stderr, "link_bench: a transfer with the in-process keyboard failed\n");
            return 2;
        }
    }

    char folder[] = "/tmp/link-bench-XXXXXX";
    if (!::mkdtemp(folder)) {
        std::perror("link_bench: mkdtemp");
        return 2;
    }
    const std::string socket = std::string(folder) + "/kb",
                      state = std::string(folder) + "/kb.json";
    const std::string program = besideMe("vantacorv-sim");
    const std::string latency = std::to_string(kLatencyUs);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execl(program.c_str(), program.c_str(), "--model", "vanta", "--socket", socket.c_str(),
                "--state", state.c_str(), "--latency-us", latency.c_str(),
                static_cast<char*>(nullptr));
        std::perror("link_bench: cannot run vantacorv-sim");
        ::_exit(127);
    }
    bool daemonOk = waitForSocket(socket);
    if (daemonOk) {
        ::setenv("VANTACORV_SIM", socket.c_str(), 1);
        CTavoHWI hwi;
        daemonOk = hwi.__createDev() && measure(hwi, runs, figures, "daemon");
    }
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
    ::unlink(state.c_str());
    ::rmdir(folder);
    if (!daemonOk) {
        std::fprintf(stderr, "link_bench: a transfer with the vantacorv-sim daemon failed\n");
        return 2;
    }

    std::printf("link at %d us a report, %d runs each\n\n", kLatencyUs, runs);
    std::printf("%-38s %8s %10s %10s %10s %7s\n", "transfer", "reports", "best ms", "median ms",
                "floor ms", "ratio");
    bool within = true;
    for (const auto& f : figures) {
        const double floor = f.reports * kLatencyUs / 1000.0;
        const double med = median(f.ms);
        const double ratio = med / floor;
        within = within && ratio <= kTarget;
        std::printf("%-38s %8d %10.1f %10.1f %10.1f %7.3f%s\n", f.what.c_str(), f.reports,
                    *std::min_element(f.ms.begin(), f.ms.end()), med, floor, ratio,
                    ratio <= kTarget ? "" : "  over 1.05");
    }
    std::printf("\ntarget: ratio (median / floor) <= %.2f: %s\n", kTarget,
                within ? "met" : "NOT met");
    return within ? 0 : 1;
}
