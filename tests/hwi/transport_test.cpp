#include "transport.h"

#include "platform/hid_memory.h"

#include <gtest/gtest.h>

namespace {

TEST(Transport, ReadHandsOnTheBytesAfterTheReportIdAndNeverMoreThan64) {
    auto device = std::make_shared<platform::MemoryHidDevice>(0x0483, 0x502b, 1);
    platform::Report reply{};
    for (std::size_t i = 0; i < reply.size(); ++i)
        reply[i] = static_cast<std::uint8_t>(i);
    device->queueReply(reply);
    device->queueReply(reply);
    platform::MemoryHidAttachment attach(device);
    CKeyboardUtil util(platform::MemoryHidDevice::open(device).device.release());

    unsigned char buffer[80];
    std::fill(std::begin(buffer), std::end(buffer), 0xEE);
    int length = 64;
    ASSERT_TRUE(util.readReport(buffer, &length, kReadTimeoutArgument));
    EXPECT_EQ(length, 64);
    EXPECT_EQ(buffer[0], 1);
    EXPECT_EQ(buffer[63], 64);
    EXPECT_EQ(buffer[64], 0xEE);

    length = 1000; // asks for more than a report holds
    ASSERT_TRUE(util.readReport(buffer, &length, kReadTimeoutArgument));
    EXPECT_EQ(buffer[64], 0xEE);

    EXPECT_FALSE(util.readReport(buffer, &length, 10)); // nothing queued: times out
}

TEST(Transport, WithoutAnOpenHandleEveryCallFails) {
    CTavoUtil util(nullptr);
    unsigned char report[65] = {};
    int length = 64;
    wchar_t text[64];
    EXPECT_FALSE(util.writeReport(report, 65));
    EXPECT_FALSE(util.readReport(report, &length, kReadTimeoutArgument));
    EXPECT_FALSE(util.readVersion(text));
}

} // namespace
