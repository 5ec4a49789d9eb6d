// Start-up benchmark: starts Xvfb on a free display, then runs the program
// (`vantacorv --simulate MODEL --first-paint-exit`) and a minimal Qt window
// in turn, timing each from fork to the line it prints at its first paint,
// and reading the resident memory it reports once the window has every
// image it draws with decoded.
//
//   startup_bench [--runs N]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kFirstPaintBudgetMs = 150;
constexpr double kResidentBudgetMb = 80;

std::string ownFolder() {
    char path[4096];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return ".";
    path[n] = 0;
    std::string s(path);
    return s.substr(0, s.rfind('/'));
}

struct Xvfb {
    pid_t pid = -1;
    std::string display;

    bool start() {
        // The first display without a lock file of another server.
        int number = 90;
        while (number < 200 &&
               ::access(("/tmp/.X" + std::to_string(number) + "-lock").c_str(), F_OK) == 0)
            ++number;
        display = ":" + std::to_string(number);
        pid = ::fork();
        if (pid == 0) {
            ::execlp("Xvfb", "Xvfb", display.c_str(), "-screen", "0", "1920x1080x24", "-nolisten",
                     "tcp", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        if (pid < 0)
            return false;
        // Ready once its socket is there.
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
        for (int i = 0; i < 500; ++i) {
            if (::access(socket.c_str(), F_OK) == 0)
                return true;
            if (::waitpid(pid, nullptr, WNOHANG) == pid) {
                pid = -1;
                return false;
            }
            ::usleep(10000);
        }
        return false;
    }

    ~Xvfb() {
        if (pid > 0) {
            ::kill(pid, SIGTERM);
            ::waitpid(pid, nullptr, 0);
        }
    }
};

struct Sample {
    double ms = -1;
    double residentMb = -1;
};

// Runs the program with its arguments on the display and waits for its
// first-paint line.
Sample runOnce(const std::string& display, const std::vector<std::string>& argv) {
    int out[2];
    if (::pipe(out) != 0)
        return {};
    const auto start = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::close(out[1]);
        ::setenv("DISPLAY", display.c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
        ::unsetenv("VANTACORV_SIM");
        std::vector<char*> args;
        for (const auto& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    ::close(out[1]);
    std::string text;
    char buffer[256];
    Sample sample;
    // The time is taken at the first line (the first paint); the memory
    // line follows once the window has its images in use.
    while (text.find("rss_kb=") == std::string::npos || text.back() != '\n') {
        const ssize_t n = ::read(out[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        text.append(buffer, buffer + n);
        if (sample.ms < 0 && text.find('\n') != std::string::npos)
            sample.ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }
    ::close(out[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    long kb = -1;
    if (const auto at = text.find("rss_kb="); at != std::string::npos)
        kb = std::atol(text.c_str() + at + 7);
    if (sample.ms < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "startup_bench: %s failed (status %d): %s\n", argv[0].c_str(), status,
                     text.c_str());
        return {};
    }
    sample.residentMb = kb / 1024.0;
    return sample;
}

// The system's load averages: the figures are wall-clock times, and other
// work on the machine lengthens them.
std::string loadAverages() {
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return in ? one + " " + five + " " + fifteen : "unknown";
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    int runs = 15;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[++i]));

    Xvfb x;
    if (!x.start()) {
        std::fprintf(stderr, "startup_bench: Xvfb could not be started\n");
        return 1;
    }
    const std::string folder = ownFolder();
    const std::vector<std::string> peer = {folder + "/startup_minimal_window"};
    const std::vector<std::string> vanta = {folder + "/vantacorv", "--simulate", "vanta",
                                            "--first-paint-exit"};
    const std::vector<std::string> corv = {folder + "/vantacorv", "--simulate", "corv",
                                           "--first-paint-exit"};

    // One unmeasured start each: the page cache and the display warm up.
    for (const auto* program : {&peer, &vanta, &corv})
        if (runOnce(x.display, *program).ms < 0)
            return 1;

    std::vector<double> peerMs, peerMb, vantaMs, vantaMb, corvMs;
    for (int i = 0; i < runs; ++i) {
        const Sample p = runOnce(x.display, peer);
        const Sample v = runOnce(x.display, vanta);
        const Sample c = runOnce(x.display, corv);
        if (p.ms < 0 || v.ms < 0 || c.ms < 0)
            return 1;
        peerMs.push_back(p.ms);
        peerMb.push_back(p.residentMb);
        vantaMs.push_back(v.ms);
        vantaMb.push_back(v.residentMb);
        corvMs.push_back(c.ms);
    }

    const double pm = median(peerMs), vm = median(vantaMs), cm = median(corvMs);
    const double pr = median(peerMb), vr = median(vantaMb);
    std::printf("start to first paint on Xvfb %s, median of %d runs (load average %s):\n",
                x.display.c_str(), runs, loadAverages().c_str());
    std::printf("  %-34s %8.1f ms  (budget %.0f ms)\n", "vantacorv --simulate vanta", vm,
                kFirstPaintBudgetMs);
    std::printf("  %-34s %8.1f ms\n", "vantacorv --simulate corv", cm);
    std::printf("  %-34s %8.1f ms\n", "minimal Qt window", pm);
    std::printf("resident memory with the main window open:\n");
    std::printf("  %-34s %8.1f MB  (budget %.0f MB)\n", "vantacorv --simulate vanta", vr,
                kResidentBudgetMb);
    std::printf("  %-34s %8.1f MB\n", "minimal Qt window", pr);
    std::printf("BENCH startup_first_paint_vanta value=%.1fms ratio=%.2f budget=%.0fms\n", vm,
                vm / pm, kFirstPaintBudgetMs);
    std::printf("BENCH startup_first_paint_corv value=%.1fms ratio=%.2f budget=%.0fms\n", cm,
                cm / pm, kFirstPaintBudgetMs);
    std::printf("BENCH startup_resident value=%.1fMB ratio=%.2f budget=%.0fMB\n", vr, vr / pr,
                kResidentBudgetMb);
    return vm <= kFirstPaintBudgetMs && vr <= kResidentBudgetMb ? 0 : 2;
}
