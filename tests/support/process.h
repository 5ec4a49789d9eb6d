// Running the project's programs from tests: one-shot commands with their
// output captured, and background programs (the simulator) stopped on exit.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace testing_support {

using Environment = std::vector<std::pair<std::string, std::string>>;

struct ProcessResult {
    int exitCode = -1; // -1 when killed by a signal or timed out
    bool timedOut = false;
    std::string out;
    std::string err;
};

// Path of a program built into the project's bin folder.
std::string binPath(const std::string& program);

// Runs argv[0] with the given extra environment (an empty value unsets the
// variable) and waits at most timeoutMs.
ProcessResult runProcess(const std::vector<std::string>& argv, const Environment& env = {},
                         int timeoutMs = 20000);

// A program running in the background until stop() or destruction (SIGTERM).
class BackgroundProcess {
  public:
    BackgroundProcess() = default;
    ~BackgroundProcess();
    BackgroundProcess(const BackgroundProcess&) = delete;
    BackgroundProcess& operator=(const BackgroundProcess&) = delete;

    bool start(const std::vector<std::string>& argv, const Environment& env = {});
    // Sends SIGTERM and waits; returns the exit code (-1 when killed).
    int stop(int timeoutMs = 10000);
    bool running() const { return pid_ > 0; }
    std::string errText() const;

  private:
    int pid_ = -1;
    std::string errFile_;
};

// A fresh folder removed with everything in it at destruction.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

// Waits until a Unix socket at path accepts connections.
bool waitForSocket(const std::string& path, int timeoutMs = 10000);

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& text);

} // namespace testing_support
