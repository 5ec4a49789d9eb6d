// vantacorv-sim as a separate process and the in-process keyboard, driven
// through the device library as the program drives them.
#include "hwi/TavoHWI.h"
#include "inprocess.h"
#include "platform/hid.h"
#include "support/process.h"

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <thread>

using testing_support::BackgroundProcess;
using testing_support::binPath;
using testing_support::TempDir;
using Clock = std::chrono::steady_clock;

namespace {

long long msSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// A configuration with every record type, as the library's arrays.
struct Definition {
    int layer, key;
    std::vector<int> values;
};

std::vector<Definition> everyRecordType() {
    std::vector<int> long_macro = {2, 2, 1, 0, 10, 60};
    for (int i = 0; i < 60; ++i)
        long_macro.push_back(4 + i);
    return {
        {0, 1, {0, 2, 0x04, 0x05}},
        {0, 2, {1, 300, 1, 0x1E}},
        {1, 3, {2, 0, 5, 1, 0, 3, 0x04, 100, 0x05, 50, 0x06}},
        {1, 104, {2, 1, 5, 0, 30, 2, 0x07, 0x08}},
        {0, 104, long_macro}, // two blocks
    };
}

std::vector<int> readBack(CTavoHWI& hwi, int layer, int key, std::size_t size) {
    std::vector<int> values(std::max<std::size_t>(size, 2) + 8, -1);
    EXPECT_TRUE(
        hwi.getKeyConfiguration(layer, key, values.data(), static_cast<int>(values.size())));
    values.resize(std::max<std::size_t>(size, 2));
    return values;
}

// An Intel HEX line with its checksum.
std::string hexLine(std::vector<int> bytes) {
    int sum = 0;
    for (int b : bytes)
        sum += b;
    bytes.push_back((0x100 - (sum & 0xFF)) & 0xFF);
    std::string text = ":";
    char digits[3];
    for (int b : bytes) {
        std::snprintf(digits, sizeof digits, "%02X", b);
        text += digits;
    }
    return text + "\r\n";
}

std::string smallImage() {
    return hexLine({0x04, 0x00, 0x00, 0x00, 0xDE, 0xAD, 0xBE, 0xEF}) +
           hexLine({0x02, 0x00, 0x04, 0x00, 0x12, 0x34}) + hexLine({0x00, 0x00, 0x00, 0x01});
}

bool downloadFirmware(CTavoHWI& hwi, std::string image) {
    return hwi.WriteFirmwareToKeyboard(image.data(), static_cast<int>(image.size()), nullptr);
}

class SimDaemon : public ::testing::Test {
  protected:
    void TearDown() override { ::unsetenv("VANTACORV_SIM"); }

    // Starts vantacorv-sim on its socket and points discovery at it.
    void start(std::vector<std::string> options) {
        std::vector<std::string> argv = {
            binPath("vantacorv-sim"), "--model", "vanta", "--socket", socket, "--state", state};
        argv.insert(argv.end(), options.begin(), options.end());
        ASSERT_TRUE(sim.start(argv));
        ASSERT_TRUE(testing_support::waitForSocket(socket)) << sim.errText();
        ::setenv("VANTACORV_SIM", socket.c_str(), 1);
    }

    nlohmann::json stateAfterStop() {
        EXPECT_EQ(sim.stop(), 0) << sim.errText();
        return nlohmann::json::parse(testing_support::readFile(state));
    }

    TempDir dir;
    std::string socket = dir.file("kb");
    std::string state = dir.file("kb.json");
    BackgroundProcess sim;
};

TEST_F(SimDaemon, KeyConfigurationWithEveryRecordTypeComesBackTheSame) {
    start({});
    const auto definitions = everyRecordType();
    {
        CTavoHWI hwi;
        ASSERT_TRUE(hwi.__createDev());
        ASSERT_TRUE(hwi.prepare());
        for (auto d : definitions)
            ASSERT_TRUE(hwi.setKeyConfiguration(d.layer, d.key, d.values.data(),
                                                static_cast<int>(d.values.size())));
        ASSERT_TRUE(hwi.writeKeyConfigurationToDev(nullptr));
    }
    CTavoHWI hwi; // a fresh library state: everything comes from the keyboard
    ASSERT_TRUE(hwi.__createDev());
    ASSERT_TRUE(hwi.readKeyDefinationFromDev(nullptr));
    for (const auto& d : definitions)
        EXPECT_EQ(readBack(hwi, d.layer, d.key, d.values.size()), d.values)
            << d.layer << "/" << d.key;
    EXPECT_EQ(readBack(hwi, 0, 50, 2), (std::vector<int>{0, 0}));

    const auto saved = stateAfterStop();
    EXPECT_EQ(saved["slots"][0], "00f0010100020405" + std::string(112, '0'));
    EXPECT_EQ(saved["slots"][1], "00f0010201012c011e" + std::string(110, '0'));
    EXPECT_EQ(saved["slots"][103].get<std::string>().size(), 2u * 128);  // the two-block macro
    EXPECT_EQ(saved["slots"][49], "00f0013200" + std::string(118, '0')); // written empty
}

TEST_F(SimDaemon, LightAndCountersFromTheCommandLine) {
    std::string counters;
    for (int i = 1; i <= 104; ++i)
        counters += std::to_string(i) + "\n";
    testing_support::writeFile(dir.file("counters"), counters);
    start({"--counters", dir.file("counters"), "--counter", "1=528", "--counter", "104=70000"});
    CTavoHWI hwi;
    ASSERT_TRUE(hwi.__createDev());
    std::vector<int> read(104, -1);
    ASSERT_TRUE(hwi.getPressCounterFromDev(read.data()));
    EXPECT_EQ(read[0], 528);
    EXPECT_EQ(read[1], 2);
    EXPECT_EQ(read[102], 103);
    EXPECT_EQ(read[103], 70000);

    std::vector<int> light(312), back(312, -1);
    for (int i = 0; i < 312; ++i)
        light[std::size_t(i)] = (i * 13) & 0xFF;
    ASSERT_TRUE(hwi.setKeyboardLightArea(light.data()));
    hwi.__closeDev();
    CTavoHWI fresh;
    ASSERT_TRUE(fresh.__createDev());
    ASSERT_TRUE(fresh.readKeyLightFromDev());
    ASSERT_TRUE(fresh.getKeyboardLightArea(back.data()));
    EXPECT_EQ(back, light);
    fresh.__closeDev();
    const auto saved = stateAfterStop();
    EXPECT_EQ(saved["counters"][0], 528);
    EXPECT_EQ(saved["light"].get<std::string>().substr(0, 6), "000d1a");
}

TEST_F(SimDaemon, EachFaultEndsTheTransferWithFalseWithinTheTimeOut) {
    const char* faults[] = {"silent-after=1", "disconnect-after=2", "garbage-every=1", "busy",
                            "silent"};
    for (const char* fault : faults) {
        start({"--fault", fault});
        CTavoHWI hwi;
        ASSERT_TRUE(hwi.__createDev()) << fault;
        wchar_t text[64];
        hwi.ReadKeyboardVersion(text); // report 1
        const auto begin = Clock::now();
        EXPECT_FALSE(hwi.readKeyDefinationFromDev(nullptr)) << fault;
        EXPECT_LT(msSince(begin), 3000) << fault;
        hwi.__closeDev();
        EXPECT_EQ(sim.stop(), 0) << fault;
    }
}

TEST_F(SimDaemon, RestartsAfterFirmwareAndComesBackWithTheNextVersion) {
    start({"--next-version", "XRGB V2.00"});
    {
        CTavoHWI hwi;
        ASSERT_TRUE(hwi.__createDev());
        ASSERT_TRUE(downloadFirmware(hwi, smallImage()));
    }
    const auto start = Clock::now();
    CTavoHWI probe;
    while (probe.DetectDevice() && msSince(start) < 2000)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const auto gone = Clock::now();
    EXPECT_FALSE(probe.DetectDevice());
    while (!probe.DetectDevice() && msSince(start) < 6000)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(probe.DetectDevice());
    EXPECT_GE(msSince(gone), 1500);
    CTavoHWI hwi;
    ASSERT_TRUE(hwi.__createDev());
    wchar_t text[64];
    ASSERT_TRUE(hwi.ReadKeyboardVersion(text));
    EXPECT_EQ(std::wstring(text), L"XRGB V2.00");
    hwi.__closeDev();
    const auto saved = stateAfterStop();
    EXPECT_EQ(saved["version"], "XRGB V2.00");
    EXPECT_EQ(saved["firmware"]["lines"], 3);
    EXPECT_EQ(saved["firmware"]["complete"], true);
}

TEST_F(SimDaemon, LatencyPacesEveryReport) {
    // 10 ms frames: the light write's 8 reports and the version request go
    // out one a frame, the answer comes a frame later. The first report may
    // start in a frame already under way.
    start({"--latency-us", "10000"});
    CTavoHWI hwi;
    ASSERT_TRUE(hwi.__createDev());
    std::vector<int> light(312, 0);
    const auto begin = Clock::now();
    ASSERT_TRUE(hwi.setKeyboardLightArea(light.data()));
    wchar_t text[64];
    ASSERT_TRUE(hwi.ReadKeyboardVersion(text)); // answered once the light write has been taken
    EXPECT_GE(msSince(begin), 9 * 10);
}

TEST_F(SimDaemon, MalformedStateIsRefusedAndLeftAlone) {
    const std::string bad = R"({"model": "vanta", "version": "V1", "light": "00"})";
    testing_support::writeFile(state, bad);
    const auto result = testing_support::runProcess(
        {binPath("vantacorv-sim"), "--model", "vanta", "--socket", socket, "--state", state});
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_NE(result.err.find("\"light\""), std::string::npos) << result.err;
    EXPECT_EQ(testing_support::readFile(state), bad);
}

TEST(InProcessLink, WritesTakeTheirFramesAndRepliesFollowFrameByFrame) {
    sim::SimKeyboard keyboard(sim::Model::Vanta);
    keyboard.setTiming({.latencyUs = 1000, .restartMs = 2000});
    sim::InProcessKeyboard attached(keyboard);
    CTavoHWI hwi;
    ASSERT_TRUE(hwi.__createDev());
    ASSERT_TRUE(hwi.prepare());
    auto begin = Clock::now();
    // The first report may go in the frame already under way; every later
    // one takes a whole frame. The version is answered once the write's 210
    // reports have been taken.
    ASSERT_TRUE(hwi.writeKeyConfigurationToDev(nullptr));
    wchar_t text[64];
    ASSERT_TRUE(hwi.ReadKeyboardVersion(text));
    EXPECT_GE(msSince(begin), 211);
    begin = Clock::now();
    ASSERT_TRUE(hwi.readKeyDefinationFromDev(nullptr)); // 1 request, 208 blocks, the end
    EXPECT_GE(msSince(begin), 209);
}

TEST(InProcessLink, RestartLeavesTheListAndDisconnectEndsTheHold) {
    sim::SimKeyboard keyboard(sim::Model::Corv);
    keyboard.setTiming({.latencyUs = 0, .restartMs = 300});
    ASSERT_TRUE(keyboard.setNextVersion("XLED V3.00"));
    sim::InProcessKeyboard attached(keyboard);
    {
        CTavoHWI hwi;
        ASSERT_TRUE(hwi.__createDev());
        ASSERT_TRUE(downloadFirmware(hwi, smallImage()));
    }
    EXPECT_FALSE(attached.attached());
    EXPECT_EQ(CTavoHWI().DetectDeviceType(), 0);
    ASSERT_TRUE(attached.waitAttached(true, 3000));
    CTavoHWI hwi;
    ASSERT_TRUE(hwi.__createDev());
    wchar_t text[64];
    ASSERT_TRUE(hwi.ReadKeyboardVersion(text));
    EXPECT_EQ(std::wstring(text), L"XLED V3.00");
    hwi.__closeDev();

    keyboard.setFaults({.disconnectAfter = keyboard.reportsTaken() + 2});
    ASSERT_TRUE(hwi.__createDev());
    EXPECT_FALSE(hwi.readKeyDefinationFromDev(nullptr) && hwi.readKeyDefinationFromDev(nullptr));
    EXPECT_EQ(attached.departures(), 2);
    hwi.__closeDev();
    ASSERT_TRUE(hwi.__createDev()); // present again at once
    EXPECT_TRUE(hwi.ReadKeyboardVersion(text));
}

} // namespace
