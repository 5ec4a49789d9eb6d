// Test programs list only the devices they make themselves: no system HID
// devices, no simulator sockets from the caller's environment.
#include "platform/hid.h"

#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    platform::hidSetSystemDevicesEnabled(false);
    ::unsetenv("VANTACORV_SIM");
    // Also for the programs the tests start. A keyboard that does not answer
    // is given up on quickly; tests that want the real bound ask for it.
    ::setenv("VANTACORV_SIM_ONLY", "1", 1);
    ::setenv("VANTACORV_READ_TIMEOUT_MS", "300", 0);
    std::signal(SIGPIPE, SIG_IGN);
    return RUN_ALL_TESTS();
}
