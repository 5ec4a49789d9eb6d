#include "platform/window.h"

#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

TEST(Window, PostsReachALiveWindowInOrderAndAreDroppedAfterClose) {
    HWND stale;
    {
        platform::MessageQueueWindow window;
        stale = window.handle();
        EXPECT_TRUE(platform::isWindow(stale));
        EXPECT_TRUE(platform::postMessage(stale, platform::UM_DEVICE_PROGRESS, 1, 0));
        EXPECT_TRUE(platform::postMessage(stale, platform::UM_DEVICE_DONE, 2, -3));
        const auto got = window.take();
        ASSERT_EQ(got.size(), 2u);
        EXPECT_EQ(got[0].message, 1127u);
        EXPECT_EQ(got[1].message, 1128u);
        EXPECT_EQ(got[1].lParam, -3);
    }
    EXPECT_FALSE(platform::isWindow(stale));
    EXPECT_FALSE(platform::postMessage(stale, platform::UM_DEVICE_DONE, 0, 0));
    EXPECT_FALSE(platform::postMessage(nullptr, platform::UM_DEVICE_DONE, 0, 0));
    // A new window never gets the closed one's handle.
    platform::MessageQueueWindow next;
    EXPECT_NE(next.handle(), stale);
}

TEST(Window, PostsFromManyThreadsWhileTheWindowCloses) {
    auto window = std::make_unique<platform::MessageQueueWindow>();
    const HWND handle = window->handle();
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t)
        workers.emplace_back([handle] {
            for (int i = 0; i < 2000; ++i)
                platform::postMessage(handle, platform::UM_DEVICE_PROGRESS, static_cast<std::uintptr_t>(i), 0);
        });
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    window.reset();
    for (auto& worker : workers)
        worker.join();
    EXPECT_FALSE(platform::postMessage(handle, platform::UM_DEVICE_PROGRESS, 0, 0));
}

} // namespace
