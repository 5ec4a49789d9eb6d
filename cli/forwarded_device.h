// A keyboard interface chosen by its path, put where the device library looks
// first. The library opens the first keyboard of the interface list, as the
// program does; to use another one, the command line opens the chosen
// interface itself and lists in its place an in-memory interface with the
// same path that passes every report on to it and every reply back.
#pragma once

#include "platform/hid.h"
#include "platform/hid_memory.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace cli {

class ForwardedDevice {
  public:
    ForwardedDevice() = default;
    ~ForwardedDevice();
    ForwardedDevice(const ForwardedDevice&) = delete;
    ForwardedDevice& operator=(const ForwardedDevice&) = delete;

    // Opens the interface at path and makes it the only one the HID list
    // shows in this process. The reason when it could not be opened.
    platform::OpenError attach(const std::wstring& path);

  private:
    void pumpReplies();

    std::unique_ptr<platform::HidDevice> real_;
    std::shared_ptr<platform::MemoryHidDevice> stand_in_;
    std::unique_ptr<platform::MemoryHidAttachment> attachment_;
    std::atomic<bool> stopping_{false};
    std::thread pump_;
};

} // namespace cli
