// Serves one simulated keyboard on a Unix stream socket (see
// platform/sim_wire.h for the protocol). One client holds the keyboard at a
// time; identity requests are answered at any time.
#pragma once

#include "sim_keyboard.h"

#include <string>

namespace sim {

class SimServer {
  public:
    explicit SimServer(SimKeyboard& keyboard);
    ~SimServer();
    SimServer(const SimServer&) = delete;
    SimServer& operator=(const SimServer&) = delete;

    // Binds the socket. Refuses a path on which another simulator answers;
    // a stale socket file left by one that died is replaced.
    bool listen(const std::string& socketPath, std::string& error);
    // Serves until requestStop() is called.
    void run();
    // Async-signal-safe: may be called from a signal handler or another thread.
    void requestStop();

  private:
    void acceptOne();
    void serveClient();
    void dropClient();

    SimKeyboard& keyboard_;
    std::string socketPath_;
    int listenFd_ = -1;
    int clientFd_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    platform::Report pending_{};
    std::size_t pendingLength_ = 0;
};

} // namespace sim
