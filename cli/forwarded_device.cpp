#include "forwarded_device.h"

#include <cstdlib>

namespace cli {

namespace {

// How long the pump waits for a reply before it looks whether to stop.
constexpr int kPumpWaitMs = 50;

} // namespace

ForwardedDevice::~ForwardedDevice() {
    stopping_ = true;
    if (pump_.joinable())
        pump_.join();
    if (stand_in_)
        stand_in_->setResponder(nullptr);
    attachment_.reset(); // handles still open on the stand-in fail from here on
}

platform::OpenError ForwardedDevice::attach(const std::wstring& path) {
    auto opened = platform::hidOpen(path);
    if (!opened.device)
        return opened.error;
    real_ = std::move(opened.device);

    stand_in_ = std::make_shared<platform::MemoryHidDevice>(path);
    // Writes go straight through; a write the interface refused makes every
    // later one fail, as a keyboard that went away does.
    stand_in_->setResponder(
        [this](const platform::Report& written, std::vector<platform::Report>&) {
            if (!real_->write(written.data(), written.size()))
                stand_in_->setWriteFails(true);
        });
    attachment_ = std::make_unique<platform::MemoryHidAttachment>(stand_in_);
    // From here on only the stand-in is listed: no system devices, no
    // simulated keyboards.
    platform::hidSetSystemDevicesEnabled(false);
    ::unsetenv("VANTACORV_SIM");
    pump_ = std::thread([this] { pumpReplies(); });
    return platform::OpenError::None;
}

void ForwardedDevice::pumpReplies() {
    platform::Report reply{};
    while (!stopping_) {
        switch (real_->read(reply, kPumpWaitMs)) {
        case platform::ReadStatus::Ok:
            stand_in_->queueReply(reply);
            break;
        case platform::ReadStatus::Timeout:
            break;
        case platform::ReadStatus::Error:
            // Gone: reads on the stand-in now time out, writes fail.
            stand_in_->setWriteFails(true);
            return;
        }
    }
}

} // namespace cli
