// The device watcher calls its handler on the UI thread when a keyboard
// comes or goes; simulated keyboards are seen through the presence poll.
#include "gui_support.h"

#include "DeviceWatcher.h"
#include "platform/hid_memory.h"

#include <QCoreApplication>
#include <QThread>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {

TEST(DeviceWatcher, SeesASimulatedKeyboardComeAndGo) {
    int calls = 0;
    bool onUiThread = true;
    shell::DeviceWatcher watcher(
        [&] {
            ++calls;
            onUiThread = onUiThread && QThread::currentThread() == qApp->thread();
        },
        {.pollAlso = true, .pollIntervalMs = 50});
    EXPECT_NE(std::string(watcher.backend()).find("poll"), std::string::npos);

    QTest::qWait(200);
    EXPECT_EQ(calls, 0); // nothing changed yet

    auto device = std::make_shared<platform::MemoryHidDevice>(0x0483, 0x502b, 1);
    auto attachment = std::make_unique<platform::MemoryHidAttachment>(device);
    QTRY_COMPARE_WITH_TIMEOUT(calls, 1, 5000);
    attachment.reset();
    QTRY_COMPARE_WITH_TIMEOUT(calls, 2, 5000);
    EXPECT_TRUE(onUiThread);
}

} // namespace
