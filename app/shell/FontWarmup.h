// Loads the system's font configuration on a thread of its own while the
// program connects to the display, so that the first text the main window
// lays out does not wait for it. Where there is nothing to load ahead, it
// does nothing.
#pragma once

#include <thread>

namespace shell {

class FontWarmup {
  public:
    FontWarmup();
    // Waits for the loading to end.
    ~FontWarmup();
    FontWarmup(const FontWarmup&) = delete;
    FontWarmup& operator=(const FontWarmup&) = delete;

    void wait();

  private:
    std::thread thread_;
};

} // namespace shell
