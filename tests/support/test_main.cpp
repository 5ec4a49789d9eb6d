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
    std::signal(SIGPIPE, SIG_IGN);
    return RUN_ALL_TESTS();
}
