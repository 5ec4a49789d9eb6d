// The interface search in its three forms and the device lifecycle, against
// in-memory interfaces.
#include "hwi/TavoHWI.h"
#include "hwi/protocol.h"
#include "platform/hid_memory.h"

#include <chrono>
#include <gtest/gtest.h>

using platform::MemoryHidAttachment;
using platform::MemoryHidDevice;

namespace {

std::shared_ptr<MemoryHidDevice> keyboard(std::uint16_t pid, int iface = 1) {
    return std::make_shared<MemoryHidDevice>(0x0483, pid, iface);
}

// Answers every version request with the given r[0..63].
void answerVersion(MemoryHidDevice& device, std::vector<std::uint8_t> payload) {
    device.setResponder([payload](const platform::Report& out, std::vector<platform::Report>& replies) {
        if (out[2] != hwi::protocol::CMD_VERSION_READ)
            return;
        platform::Report reply{};
        std::copy(payload.begin(), payload.end(), reply.begin() + 1);
        replies.push_back(reply);
    });
}

std::vector<std::uint8_t> versionPayload(const std::string& text) {
    std::vector<std::uint8_t> payload(64, 0);
    payload[1] = hwi::protocol::CMD_VERSION_READ;
    std::copy(text.begin(), text.end(), payload.begin() + 2);
    return payload;
}

TEST(Discovery, NothingPresent) {
    auto mouse = keyboard(0x512b, 0);
    MemoryHidAttachment attach(mouse);
    CTavoHWI hwi;
    EXPECT_FALSE(hwi.DetectDevice());
    EXPECT_EQ(hwi.DetectDeviceType(), 0);
    EXPECT_FALSE(hwi.__createDev());
    wchar_t text[64];
    EXPECT_FALSE(hwi.ReadKeyboardVersion(text));
    EXPECT_FALSE(mouse->isOpen());
}

TEST(Discovery, SkipsOtherInterfacesAndUsesTheLowestMatchingIndexInAllForms) {
    auto other = keyboard(0x512b, 0);  // mi_00: not the configuration interface
    auto first = keyboard(0x512b);     // type 2
    auto second = keyboard(0x502b);    // type 1, later in the list
    MemoryHidAttachment a(other), b(first), c(second);
    CTavoHWI hwi;
    EXPECT_TRUE(hwi.DetectDevice());
    EXPECT_EQ(hwi.DetectDeviceType(), 2);
    EXPECT_FALSE(first->isOpen()); // detection opens nothing
    ASSERT_TRUE(hwi.__createDev());
    EXPECT_TRUE(first->isOpen());
    EXPECT_FALSE(second->isOpen());
    EXPECT_FALSE(other->isOpen());
}

TEST(Discovery, TypesFollowTheProduct) {
    const std::pair<std::uint16_t, int> cases[] = {{0x502b, 1}, {0x512b, 2}, {0x522b, 3}};
    for (const auto& [pid, type] : cases) {
        MemoryHidAttachment attach(keyboard(pid));
        EXPECT_EQ(CTavoHWI().DetectDeviceType(), type) << std::hex << pid;
    }
}

TEST(Lifecycle, SecondCreateKeepsTheFirstTransportAndCloseIsHarmless) {
    auto device = keyboard(0x502b);
    answerVersion(*device, versionPayload("V1.0"));
    MemoryHidAttachment attach(device);
    CTavoHWI hwi;
    EXPECT_TRUE(hwi.__closeDev()); // closed: harmless
    ASSERT_TRUE(hwi.__createDev());
    device->setBusy(true);          // a new open would now fail
    EXPECT_TRUE(hwi.__createDev());
    wchar_t text[64];
    EXPECT_TRUE(hwi.ReadKeyboardVersion(text));
    EXPECT_EQ(device->written().size(), 1u);

    EXPECT_TRUE(hwi.__closeDev());
    EXPECT_FALSE(device->isOpen());
    EXPECT_TRUE(hwi.__closeDev());
    EXPECT_FALSE(hwi.ReadKeyboardVersion(text)); // closed again
}

TEST(Version, RequestIsExactAndReplyTextEndsAtFirstZero) {
    auto device = keyboard(0x512b);
    auto payload = versionPayload("V1.0");
    payload[0] = 0x55; // r[0] and r[1] are not looked at
    payload[1] = 0x66;
    answerVersion(*device, payload);
    MemoryHidAttachment attach(device);
    CTavoHWI hwi;
    ASSERT_TRUE(hwi.__createDev());
    wchar_t text[64];
    std::fill(std::begin(text), std::end(text), L'#');
    ASSERT_TRUE(hwi.ReadKeyboardVersion(text));
    EXPECT_EQ(std::wstring(text), L"V1.0");

    ASSERT_EQ(device->written().size(), 1u);
    platform::Report expected{};
    expected[2] = 0xF9;
    EXPECT_EQ(device->written()[0], expected);
}

TEST(Version, FullLengthTextAndCodePageConversion) {
    const std::string longest(62, 'A');
    auto device = keyboard(0x502b);
    answerVersion(*device, versionPayload(longest));
    MemoryHidAttachment attach(device);
    CTavoHWI hwi;
    ASSERT_TRUE(hwi.__createDev());
    wchar_t text[64];
    std::fill(std::begin(text), std::end(text), L'#');
    ASSERT_TRUE(hwi.ReadKeyboardVersion(text));
    EXPECT_EQ(std::wstring(text), std::wstring(62, L'A'));

    answerVersion(*device, versionPayload("\xed\x82\xa4 1.2"));
    EXPECT_EQ(std::wstring(hwi.getHardwareVersion()), L"\uD0A4 1.2");
}

TEST(Failures, OccupiedInterfaceOpensAsCreatedButEveryTransferFails) {
    auto device = keyboard(0x502b);
    answerVersion(*device, versionPayload("V1.0"));
    device->setBusy(true);
    MemoryHidAttachment attach(device);
    CTavoHWI hwi;
    EXPECT_TRUE(hwi.__createDev()); // a matching interface exists
    wchar_t text[64];
    EXPECT_FALSE(hwi.ReadKeyboardVersion(text));
    EXPECT_TRUE(device->written().empty());
    EXPECT_EQ(platform::hidLastOpenError(), platform::OpenError::Busy);
}

TEST(Failures, SilentKeyboardTimesOutInsteadOfHanging) {
    auto device = keyboard(0x502b); // takes reports, never answers
    MemoryHidAttachment attach(device);
    CTavoHWI hwi;
    ASSERT_TRUE(hwi.__createDev());
    wchar_t text[64];
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(hwi.ReadKeyboardVersion(text));
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_LT(waited, std::chrono::milliseconds(2500));
    EXPECT_EQ(device->written().size(), 1u);
}

TEST(Failures, UnpluggedWhileOpenFailsTheNextTransfer) {
    auto device = keyboard(0x502b);
    answerVersion(*device, versionPayload("V1.0"));
    auto attach = std::make_unique<MemoryHidAttachment>(device);
    CTavoHWI hwi;
    ASSERT_TRUE(hwi.__createDev());
    attach.reset();
    wchar_t text[64];
    EXPECT_FALSE(hwi.ReadKeyboardVersion(text));
    EXPECT_FALSE(hwi.DetectDevice());
}

TEST(Lifecycle, AssignmentCopiesTheVersionButNeverSharesTheDevice) {
    auto device = keyboard(0x502b);
    answerVersion(*device, versionPayload("V2.5"));
    MemoryHidAttachment attach(device);
    CTavoHWI copy;
    {
        CTavoHWI hwi;
        ASSERT_TRUE(hwi.__createDev());
        hwi.getHardwareVersion();
        copy = hwi;
    } // closes its device; the copy must not hold it any more
    EXPECT_FALSE(device->isOpen());
    EXPECT_EQ(std::wstring(copy.getHardwareVersion()), L"V2.5"); // closed: text kept
    wchar_t text[64];
    EXPECT_FALSE(copy.ReadKeyboardVersion(text));
}

} // namespace
