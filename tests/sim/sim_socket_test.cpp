// The simulator served on a socket inside the test process, reached through
// the HID list exactly as a program reaches it.
#include "hwi/TavoHWI.h"
#include "platform/hid.h"
#include "sim_server.h"
#include "support/process.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using testing_support::TempDir;

namespace {

class ServedKeyboard {
  public:
    ServedKeyboard(sim::Model model, const std::string& socketPath, sim::Faults faults = {},
                   sim::LinkTiming timing = {})
        : keyboard(model), server(keyboard) {
        keyboard.setFaults(faults);
        keyboard.setTiming(timing);
        std::string error;
        listening = server.listen(socketPath, error);
        EXPECT_TRUE(listening) << error;
        if (listening)
            thread = std::thread([this] { server.run(); });
    }
    ~ServedKeyboard() {
        server.requestStop();
        if (thread.joinable())
            thread.join();
    }

    sim::SimKeyboard keyboard;
    sim::SimServer server;
    bool listening = false;
    std::thread thread;
};

class SimSocket : public ::testing::Test {
  protected:
    void TearDown() override { ::unsetenv("VANTACORV_SIM"); }
    void useSockets(const std::string& list) { ::setenv("VANTACORV_SIM", list.c_str(), 1); }
    TempDir dir;
};

TEST_F(SimSocket, ListedInWindowsFormAndAnswersThroughTheLibrary) {
    const std::string socket = dir.file("s");
    ServedKeyboard served(sim::Model::Corv, socket);
    served.keyboard.setVersion("V1.0");
    useSockets(socket);

    const auto entries = platform::hidEnumerate();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].path, platform::hidWindowsPath(0x0483, 0x512b, 1, "sim:" + socket));

    CTavoHWI hwi;
    EXPECT_EQ(hwi.DetectDeviceType(), 2);
    ASSERT_TRUE(hwi.__createDev());
    wchar_t text[64];
    ASSERT_TRUE(hwi.ReadKeyboardVersion(text));
    EXPECT_EQ(std::wstring(text), L"V1.0");
}

TEST_F(SimSocket, OneHolderAtATimeAndFreeAgainAfterClose) {
    const std::string socket = dir.file("s");
    ServedKeyboard served(sim::Model::Vanta, socket);
    useSockets(socket);
    const std::wstring path = platform::hidEnumerate().at(0).path;
    {
        auto first = platform::hidOpen(path);
        ASSERT_TRUE(first.device);
        auto second = platform::hidOpen(path);
        EXPECT_EQ(second.error, platform::OpenError::Busy);
        EXPECT_EQ(platform::hidEnumerate().size(), 1u); // still listed while held
    }
    EXPECT_TRUE(platform::hidOpen(path).device);
}

// The library writes without waiting for the keyboard, so a program can
// close with most of a transfer still on its way; a slow keyboard must take
// it all and be free for the next program at once.
TEST_F(SimSocket, ReportsLeftOnTheWireAtCloseAreTakenAndTheKeyboardIsFree) {
    const std::string socket = dir.file("s");
    ServedKeyboard served(sim::Model::Vanta, socket, {}, {.latencyUs = 2000, .restartMs = 2000});
    useSockets(socket);
    {
        CTavoHWI hwi;
        ASSERT_TRUE(hwi.__createDev());
        ASSERT_TRUE(hwi.prepare());
        int last[] = {0, 2, 0x04, 0x05};
        ASSERT_TRUE(hwi.setKeyConfiguration(1, 104, last, 4));
        ASSERT_TRUE(hwi.writeKeyConfigurationToDev(nullptr)); // 210 reports, ~0.4 s of frames
    }
    auto next = platform::hidOpen(platform::hidEnumerate().at(0).path);
    EXPECT_TRUE(next.device) << static_cast<int>(next.error);
    next.device.reset();
    served.server.requestStop();
    served.thread.join();
    const auto block = served.keyboard.slot(207);
    ASSERT_GE(block.size(), 8u);
    EXPECT_EQ(std::vector<std::uint8_t>(block.begin() + 2, block.begin() + 8),
              (std::vector<std::uint8_t>{2, 104, 0, 2, 0x04, 0x05})); // the slot written last
}

TEST_F(SimSocket, EntriesThatNameNoSimulatorAreSkipped) {
    const std::string good = dir.file("good");
    const std::string regular = dir.file("regular");
    testing_support::writeFile(regular, "not a socket");
    // A socket file whose simulator is gone.
    const std::string stale = dir.file("stale");
    { ServedKeyboard gone(sim::Model::Vanta, stale); }
    ServedKeyboard served(sim::Model::Third, good);
    useSockets(dir.file("nothing-here") + "::" + regular + ":" + stale + ":" + good);
    const auto entries = platform::hidEnumerate();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(CTavoHWI().DetectDeviceType(), 3);
}

TEST_F(SimSocket, BusyFaultIsOccupiedAndSilentFaultTimesOut) {
    const std::string busySocket = dir.file("busy");
    ServedKeyboard busy(sim::Model::Vanta, busySocket, {.busy = true, .silent = false});
    useSockets(busySocket);
    {
        CTavoHWI hwi;
        EXPECT_TRUE(hwi.__createDev());
        wchar_t text[64];
        EXPECT_FALSE(hwi.ReadKeyboardVersion(text));
        EXPECT_EQ(platform::hidLastOpenError(), platform::OpenError::Busy);
    }
    const std::string silentSocket = dir.file("silent");
    ServedKeyboard silent(sim::Model::Vanta, silentSocket, {.busy = false, .silent = true});
    useSockets(silentSocket);
    CTavoHWI hwi;
    ASSERT_TRUE(hwi.__createDev());
    wchar_t text[64];
    EXPECT_FALSE(hwi.ReadKeyboardVersion(text));
    EXPECT_EQ(platform::hidLastOpenError(), platform::OpenError::None);
    EXPECT_EQ(silent.keyboard.reportsTaken(), 1u);
}

TEST_F(SimSocket, ClientThatSaysNothingDoesNotStopDiscovery) {
    const std::string socket = dir.file("s");
    ServedKeyboard served(sim::Model::Corv, socket);
    useSockets(socket);
    const int mute = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", socket.c_str());
    ASSERT_EQ(::connect(mute, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    EXPECT_EQ(platform::hidEnumerate().size(), 1u);
    ::close(mute);
}

TEST_F(SimSocket, ListenRefusesALiveSimulatorAndReplacesAStaleSocket) {
    const std::string socket = dir.file("s");
    {
        ServedKeyboard first(sim::Model::Corv, socket);
        sim::SimKeyboard other(sim::Model::Corv);
        sim::SimServer second(other);
        std::string error;
        EXPECT_FALSE(second.listen(socket, error));
        EXPECT_NE(error.find("another simulator"), std::string::npos) << error;
    }
    // Leave a socket file without a server behind it.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", socket.c_str());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ::close(fd);
    ServedKeyboard replacement(sim::Model::Corv, socket);
    EXPECT_TRUE(replacement.listening);

    const std::string regular = dir.file("file");
    testing_support::writeFile(regular, "keep me");
    sim::SimKeyboard keyboard(sim::Model::Corv);
    sim::SimServer server(keyboard);
    std::string error;
    EXPECT_FALSE(server.listen(regular, error));
    EXPECT_EQ(testing_support::readFile(regular), "keep me");
}

} // namespace
