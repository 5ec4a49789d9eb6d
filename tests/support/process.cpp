#include "support/process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace testing_support {

namespace {

using Clock = std::chrono::steady_clock;

pid_t spawn(const std::vector<std::string>& argv, const Environment& env, const std::string& outFile,
            const std::string& errFile) {
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    for (const auto& [name, value] : env) {
        if (value.empty())
            ::unsetenv(name.c_str());
        else
            ::setenv(name.c_str(), value.c_str(), 1);
    }
    const int devnull = ::open("/dev/null", O_RDONLY);
    ::dup2(devnull, 0);
    const int out = ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(out, 1);
    ::dup2(err, 2);
    std::vector<char*> args;
    for (const auto& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    ::execv(args[0], args.data());
    std::fprintf(stderr, "cannot run %s: %s\n", args[0], std::strerror(errno));
    ::_exit(127);
}

// Waits for pid until the deadline; true when it ended (status filled).
bool waitUntil(pid_t pid, Clock::time_point deadline, int& status) {
    for (;;) {
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid)
            return true;
        if (r < 0 && errno != EINTR)
            return true;
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

int exitCodeOf(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

std::string uniqueName(const char* tag) {
    static int counter = 0;
    return (std::filesystem::temp_directory_path() /
            ("vantacorv-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + tag))
        .string();
}

} // namespace

std::string binPath(const std::string& program) { return std::string(VANTACORV_BIN_DIR) + "/" + program; }

ProcessResult runProcess(const std::vector<std::string>& argv, const Environment& env, int timeoutMs) {
    const std::string outFile = uniqueName(".out"), errFile = uniqueName(".err");
    ProcessResult result;
    const pid_t pid = spawn(argv, env, outFile, errFile);
    int status = 0;
    if (!waitUntil(pid, Clock::now() + std::chrono::milliseconds(timeoutMs), status)) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        result.timedOut = true;
    } else {
        result.exitCode = exitCodeOf(status);
    }
    result.out = readFile(outFile);
    result.err = readFile(errFile);
    std::remove(outFile.c_str());
    std::remove(errFile.c_str());
    return result;
}

BackgroundProcess::~BackgroundProcess() {
    stop();
    if (!errFile_.empty())
        std::remove(errFile_.c_str());
}

bool BackgroundProcess::start(const std::vector<std::string>& argv, const Environment& env) {
    errFile_ = uniqueName(".err");
    pid_ = spawn(argv, env, "/dev/null", errFile_);
    return pid_ > 0;
}

int BackgroundProcess::stop(int timeoutMs) {
    if (pid_ <= 0)
        return -1;
    ::kill(pid_, SIGTERM);
    int status = 0;
    if (!waitUntil(pid_, Clock::now() + std::chrono::milliseconds(timeoutMs), status)) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
        status = -1;
    }
    pid_ = -1;
    return status == -1 ? -1 : exitCodeOf(status);
}

std::string BackgroundProcess::errText() const { return errFile_.empty() ? "" : readFile(errFile_); }

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vantacorv-XXXXXX").string();
    if (::mkdtemp(pattern.data()))
        path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    if (!path_.empty())
        std::filesystem::remove_all(path_, ignored);
}

bool waitForSocket(const std::string& path, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
    while (Clock::now() < deadline) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
        if (ok) {
            // Say "identify" so that the simulator does not wait for a request.
            const char request = 'I';
            [[maybe_unused]] auto sent = ::send(fd, &request, 1, MSG_NOSIGNAL);
        }
        ::close(fd);
        if (ok)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

} // namespace testing_support
