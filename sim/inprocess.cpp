#include "inprocess.h"

#include "hwi/protocol.h"

namespace sim {

namespace {

std::shared_ptr<platform::MemoryHidDevice> deviceFor(SimKeyboard& keyboard) {
    auto device = std::make_shared<platform::MemoryHidDevice>(
        hwi::protocol::kVendorId, modelInfo(keyboard.model()).productId, hwi::protocol::kConfigInterface);
    device->setResponder([&keyboard](const platform::Report& out, std::vector<platform::Report>& replies) {
        keyboard.handleReport(out, replies);
    });
    device->setBusy(keyboard.faults().busy);
    return device;
}

} // namespace

InProcessKeyboard::InProcessKeyboard(SimKeyboard& keyboard)
    : keyboard_(keyboard), attachment_(deviceFor(keyboard)) {}

void InProcessKeyboard::refreshFaults() { attachment_.device().setBusy(keyboard_.faults().busy); }

} // namespace sim
