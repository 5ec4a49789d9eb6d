// A simulated keyboard inside the process: listed and opened like any other
// HID interface, answered by a SimKeyboard without a socket.
#pragma once

#include "platform/hid_memory.h"
#include "sim_keyboard.h"

#include <memory>

namespace sim {

class InProcessKeyboard {
  public:
    explicit InProcessKeyboard(SimKeyboard& keyboard);

    platform::MemoryHidDevice& device() { return attachment_.device(); }
    // Applies the keyboard's busy fault to opens from now on.
    void refreshFaults();

  private:
    SimKeyboard& keyboard_;
    platform::MemoryHidAttachment attachment_;
};

} // namespace sim
