// An open device object over an in-memory keyboard, for the transfer tests.
#pragma once

#include "hwi/TavoHWI.h"
#include "platform/hid_memory.h"
#include "platform/window.h"
#include "transport.h"

#include <chrono>

#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace hwi_test {

using Bytes = std::vector<std::uint8_t>;

struct OpenKeyboard {
    std::shared_ptr<platform::MemoryHidDevice> device =
        std::make_shared<platform::MemoryHidDevice>(0x0483, 0x502b, 1);
    std::unique_ptr<platform::MemoryHidAttachment> attachment =
        std::make_unique<platform::MemoryHidAttachment>(device);
    CTavoHWI hwi;
    platform::MessageQueueWindow window;

    OpenKeyboard() { EXPECT_TRUE(hwi.__createDev()); }

    // The wParam of every progress post so far.
    std::vector<std::uintptr_t> progress() {
        std::vector<std::uintptr_t> values;
        for (const auto& message : window.take()) {
            EXPECT_EQ(message.message, platform::UM_DEVICE_PROGRESS);
            EXPECT_EQ(message.lParam, 0);
            values.push_back(message.wParam);
        }
        return values;
    }

    // Writes fail from the report after the first `reports` ones on.
    void failWritesAfter(std::size_t reports) {
        auto* raw = device.get();
        // The device copies its responder for every write: the count lives outside.
        auto seen = std::make_shared<std::size_t>(0);
        device->setResponder(
            [raw, reports, seen](const platform::Report&, std::vector<platform::Report>&) {
                if (++*seen >= reports)
                    raw->setWriteFails(true);
            });
    }
};

// Longer than one read's time-out, shorter than two.
inline std::chrono::milliseconds oneTimeOut() {
    return std::chrono::milliseconds(CKeyboardUtil::readTimeoutCapMs() * 3 / 2);
}

// r[0..63] of a reply, from its leading bytes.
inline Bytes reply(std::initializer_list<std::uint8_t> head) {
    Bytes bytes(64, 0);
    std::copy(head.begin(), head.end(), bytes.begin());
    return bytes;
}

// Bytes 1..64 of a written report.
inline Bytes payloadOf(const platform::Report& report) {
    return Bytes(report.begin() + 1, report.end());
}

} // namespace hwi_test
