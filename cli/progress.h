// Progress of a long transfer, taken from the UM_DEVICE_PROGRESS messages the
// device library posts: a bar that redraws itself on a terminal, plain lines
// (every tenth) when the output is a file or a pipe.
#pragma once

#include "platform/window.h"

#include <cstdio>
#include <string>

namespace cli {

class Progress final : public platform::WindowTarget {
  public:
    // steps: the value that means done. firstValue: the value the library
    // posts for the first step (0 for slot indexes, 1 for the firmware's).
    Progress(std::FILE* to, std::string label, int steps, int firstValue);
    ~Progress() override;
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    HWND window() const { return window_; }
    void deliver(const platform::PostedMessage& message) override;
    // Ends the display: a completed bar, or the bar left where it stopped.
    void finish(bool completed);

  private:
    void show(int percent);

    std::FILE* to_;
    std::string label_;
    int steps_;
    int offset_;
    bool terminal_;
    int shown_ = -1; // last percent shown
    bool finished_ = false;
    HWND window_;
};

} // namespace cli
