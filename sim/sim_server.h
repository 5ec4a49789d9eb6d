// Serves one simulated keyboard on a Unix stream socket (see
// platform/sim_wire.h for the protocol). One client holds the keyboard at a
// time; identity requests are answered at any time, except while the
// keyboard restarts: then the socket is gone and nothing finds it.
//
// Reports are read as they arrive and taken, and replies sent, frame by frame
// as the keyboard's link timing says.
#pragma once

#include "link_clock.h"
#include "sim_keyboard.h"

#include <deque>
#include <functional>
#include <string>

namespace sim {

class SimServer {
  public:
    // Takes the keyboard's timing as it is when listen() is called.
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
    // Called on the serving thread after a report changed the keyboard's
    // memory (a transfer ended), e.g. to save its state.
    void setOnChange(std::function<void()> onChange) { onChange_ = std::move(onChange); }

  private:
    struct Pending {
        LinkClock::TimePoint due;
        platform::Report report;
    };

    bool bindSocket(std::string& error);
    void closeSocket();
    void acceptOne();
    void readClient();
    void addFrames(const std::uint8_t* bytes, std::size_t length);
    bool heldClientHungUp() const;
    void finishClosedClient();
    void takeReport(const Pending& frame);
    void sendDue(LinkClock::TimePoint now);
    void dropClient();
    void goAway(LinkClock::TimePoint now);

    SimKeyboard& keyboard_;
    std::function<void()> onChange_;
    std::uint64_t seenChanges_ = 0;
    LinkClock clock_;
    std::string socketPath_;
    int listenFd_ = -1;
    int clientFd_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    platform::Report partial_{};
    std::size_t partialLength_ = 0;
    std::deque<Pending> incoming_; // reports read, waiting for the frame that takes them
    std::deque<Pending> outgoing_; // replies made, waiting for the frame that carries them
    bool away_ = false;            // restarting: no socket until backAt_
    LinkClock::TimePoint backAt_{};
};

} // namespace sim
