#include "platform/hid.h"
#include "platform/hid_memory.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <thread>

using platform::MemoryHidAttachment;
using platform::MemoryHidDevice;
using platform::OpenError;
using platform::ReadStatus;
using platform::Report;

namespace {

Report reportWith(std::uint8_t command) {
    Report r{};
    r[2] = command;
    return r;
}

bool listed(const std::wstring& path) {
    const auto entries = platform::hidEnumerate();
    return std::any_of(entries.begin(), entries.end(), [&](const auto& e) { return e.path == path; });
}

TEST(MemoryHid, ListedWhileAttachedInAttachOrder) {
    auto a = std::make_shared<MemoryHidDevice>(0x0483, 0x502b, 1);
    auto b = std::make_shared<MemoryHidDevice>(L"any text at all");
    {
        MemoryHidAttachment first(a), second(b);
        const auto entries = platform::hidEnumerate();
        ASSERT_EQ(entries.size(), 2u);
        EXPECT_EQ(entries[0].path, a->path());
        EXPECT_EQ(entries[0].productId, 0x502b);
        EXPECT_EQ(entries[1].path, L"any text at all");
    }
    EXPECT_TRUE(platform::hidEnumerate().empty());
}

TEST(MemoryHid, ShowOnlyNarrowsTheListToOnePathUntilCleared) {
    auto a = std::make_shared<MemoryHidDevice>(0x0483, 0x502b, 1);
    auto b = std::make_shared<MemoryHidDevice>(0x0483, 0x512b, 1);
    MemoryHidAttachment first(a), second(b);
    platform::hidShowOnly(b->path());
    const auto entries = platform::hidEnumerate();
    platform::hidShowOnly(L"gone");
    const bool goneListsNothing = platform::hidEnumerate().empty();
    platform::hidShowOnly(L"");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].path, b->path());
    EXPECT_TRUE(goneListsNothing);
    EXPECT_EQ(platform::hidEnumerate().size(), 2u);
}

TEST(MemoryHid, RecordsWritesAndRepliesScriptedThenResponderReplies) {
    auto device = std::make_shared<MemoryHidDevice>(0x0483, 0x512b, 1);
    device->queueReplyPayload({0x00, 0xAA});
    device->setResponder([](const Report& out, std::vector<Report>& replies) {
        Report echo{};
        echo[0] = 7; // a report ID the backend must not hand on
        echo[2] = out[2];
        replies.push_back(echo);
    });
    MemoryHidAttachment attach(device);
    auto opened = platform::hidOpen(device->path());
    ASSERT_TRUE(opened.device);
    EXPECT_EQ(opened.error, OpenError::None);

    const Report out = reportWith(0xF9);
    ASSERT_TRUE(opened.device->write(out.data(), out.size()));
    ASSERT_EQ(device->written().size(), 1u);
    EXPECT_EQ(device->written()[0], out);

    Report in{};
    ASSERT_EQ(opened.device->read(in, 100), ReadStatus::Ok);
    EXPECT_EQ(in[2], 0xAA); // the scripted reply comes first
    ASSERT_EQ(opened.device->read(in, 100), ReadStatus::Ok);
    EXPECT_EQ(in[0], 0);
    EXPECT_EQ(in[2], 0xF9);
    EXPECT_EQ(opened.device->read(in, 20), ReadStatus::Timeout);
}

TEST(MemoryHid, OpenIsExclusiveAndBusyDevicesRefuse) {
    auto device = std::make_shared<MemoryHidDevice>(0x0483, 0x502b, 1);
    MemoryHidAttachment attach(device);
    {
        auto first = platform::hidOpen(device->path());
        ASSERT_TRUE(first.device);
        auto second = platform::hidOpen(device->path());
        EXPECT_FALSE(second.device);
        EXPECT_EQ(second.error, OpenError::Busy);
        EXPECT_EQ(platform::hidLastOpenError(), OpenError::Busy);
    }
    EXPECT_TRUE(platform::hidOpen(device->path()).device); // closed again: opens
    device->setBusy(true);
    EXPECT_EQ(platform::hidOpen(device->path()).error, OpenError::Busy);
}

TEST(MemoryHid, UnknownPathIsNotFound) {
    auto result = platform::hidOpen(L"\\\\?\\hid#vid_0483&pid_502b&mi_01#mem:gone");
    EXPECT_FALSE(result.device);
    EXPECT_EQ(result.error, OpenError::NotFound);
}

TEST(MemoryHid, DetachFailsOpenHandlesAndWakesAWaitingRead) {
    auto device = std::make_shared<MemoryHidDevice>(0x0483, 0x502b, 1);
    auto attach = std::make_unique<MemoryHidAttachment>(device);
    auto opened = platform::hidOpen(device->path());
    ASSERT_TRUE(opened.device);
    ReadStatus status = ReadStatus::Ok;
    std::thread reader([&] {
        Report in{};
        status = opened.device->read(in, 5000);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    attach.reset(); // unplugged
    reader.join();
    EXPECT_EQ(status, ReadStatus::Error);
    const Report out = reportWith(0xF9);
    EXPECT_FALSE(opened.device->write(out.data(), out.size()));
    EXPECT_FALSE(listed(device->path()));
}

} // namespace
