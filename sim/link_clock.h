// The timing of the simulated keyboard's link: reports move in frames of a
// fixed length, at most one report per frame in each direction, the way a
// full-speed USB interrupt endpoint moves one transaction per 1 ms frame.
//
// Times are computed on the frame grid, never as "now plus a frame": a host
// that wakes up a little late does not push every later report back, so the
// delay is paid once per report and never twice.
#pragma once

#include <algorithm>
#include <chrono>

namespace sim {

class LinkClock {
  public:
    using Clock = std::chrono::steady_clock;
    using TimePoint = Clock::time_point;

    // A frame of zero switches timing off: everything happens at once.
    explicit LinkClock(std::chrono::microseconds frame = std::chrono::microseconds(0),
                       TimePoint epoch = Clock::now())
        : frame_(std::max(frame, std::chrono::microseconds(0))), epoch_(epoch) {
        reset();
    }

    bool paced() const { return frame_.count() > 0; }
    std::chrono::microseconds frame() const { return frame_; }

    // When an output report the host sent at `arrival` reaches the keyboard:
    // at the end of the first free output frame after it.
    TimePoint takeOut(TimePoint arrival) {
        if (!paced())
            return arrival;
        const TimePoint taken = std::max(outNext_, frameEndAfter(arrival));
        outNext_ = taken + frame_;
        return taken;
    }

    // When a reply the keyboard made at `made` (the moment it took the report
    // it answers) reaches the host: at the end of the first free input frame
    // after it.
    TimePoint sendIn(TimePoint made) {
        if (!paced())
            return made;
        const TimePoint arrives = std::max(inNext_, frameEndAfter(made));
        inNext_ = arrives + frame_;
        return arrives;
    }

    // Forgets the reports in flight (the link was unplugged).
    void reset() { outNext_ = inNext_ = epoch_; }

  private:
    // The end of the frame that holds t: the first grid point after t.
    TimePoint frameEndAfter(TimePoint t) const {
        const auto since = std::chrono::duration_cast<std::chrono::microseconds>(t - epoch_);
        const auto frames = since.count() < 0 ? 0 : since / frame_ + 1;
        return epoch_ + frames * frame_;
    }

    std::chrono::microseconds frame_;
    TimePoint epoch_;
    TimePoint outNext_;
    TimePoint inNext_;
};

} // namespace sim
