// A simulated keyboard inside the process: listed and opened like any other
// HID interface, answered by a SimKeyboard without a socket.
//
// It keeps the keyboard's link timing (reports are taken and replies arrive
// frame by frame; like the daemon's socket, the link holds up to 64 written
// reports ahead of the keyboard, and a write waits only when it is full),
// unplugs on the disconnect fault
// and leaves the list while it restarts after a firmware download. Each time
// it comes back it is a new device with a new path, as a re-enumerated USB
// device is.
#pragma once

#include "link_clock.h"
#include "platform/hid_memory.h"
#include "sim_keyboard.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace sim {

class InProcessKeyboard {
  public:
    // Takes the keyboard's timing as it is now.
    explicit InProcessKeyboard(SimKeyboard& keyboard);
    ~InProcessKeyboard();
    InProcessKeyboard(const InProcessKeyboard&) = delete;
    InProcessKeyboard& operator=(const InProcessKeyboard&) = delete;

    // The device listed now, or the last one listed while the keyboard is
    // away. Devices stay valid for the keyboard's lifetime.
    platform::MemoryHidDevice& device();
    // True while the keyboard is in the HID list.
    bool attached() const;
    // Waits until the keyboard is (or is not) in the list; false on time-out.
    bool waitAttached(bool attached, int timeoutMs) const;
    // Times the keyboard has left the list (unplugs and restarts).
    int departures() const;
    // Applies the keyboard's busy fault to opens from now on.
    void refreshFaults();

  private:
    struct Delivery {
        LinkClock::TimePoint due;
        std::uint64_t generation;
        platform::Report reply;
    };

    struct Intake {
        LinkClock::TimePoint due;
        std::uint64_t generation;
        platform::Report report;
    };

    void respond(std::uint64_t generation, const platform::Report& out,
                 std::vector<platform::Report>& replies);
    // Hands a report to the keyboard; false when the report's device is gone.
    bool take(std::uint64_t generation, LinkClock::TimePoint taken, const platform::Report& out,
              std::vector<platform::Report>& replies);
    void attachLocked();
    void detachLocked();
    void run();

    SimKeyboard& keyboard_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    LinkClock clock_;
    std::vector<std::shared_ptr<platform::MemoryHidDevice>> devices_;
    std::unique_ptr<platform::MemoryHidAttachment> attachment_;
    std::uint64_t generation_ = 0;
    int departures_ = 0;
    std::deque<Intake> intake_;
    std::deque<Delivery> deliveries_;
    bool returnPending_ = false;
    LinkClock::TimePoint returnAt_{};
    bool stopping_ = false;
    std::thread worker_;
};

} // namespace sim
