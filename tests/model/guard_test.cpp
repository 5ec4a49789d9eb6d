// One device operation at a time: a claim is granted to one caller, any other
// is refused at once for as long as it is held.
#include "DeviceGuard.h"

#include "inprocess.h"
#include "platform/window.h"
#include "sim_keyboard.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

TEST(DeviceGuard, ASecondCallerIsRefusedAtOnceWhileTheFirstHoldsTheDevice) {
    auto model = std::make_unique<CTavoModel>();
    std::promise<void> claimed;
    std::promise<void> finish;
    std::thread first([&] {
        DeviceOperationGuard guard(*model);
        EXPECT_TRUE(guard.owns());
        claimed.set_value();
        finish.get_future().wait();
    });
    claimed.get_future().wait();

    // A second thread asks while the first one holds the claim.
    auto second = std::async(std::launch::async, [&] {
        const auto start = std::chrono::steady_clock::now();
        DeviceOperationGuard guard(*model);
        return std::make_pair(guard.owns(), std::chrono::steady_clock::now() - start);
    });
    ASSERT_EQ(second.wait_for(5s), std::future_status::ready) << "the second caller was made to wait";
    const auto [owned, waited] = second.get();
    EXPECT_FALSE(owned);
    EXPECT_LT(waited, 1s);
    EXPECT_TRUE(model->DeviceOperationRunning());

    finish.set_value();
    first.join();
    EXPECT_FALSE(model->DeviceOperationRunning());
    DeviceOperationGuard later(*model);
    EXPECT_TRUE(later.owns());
}

TEST(DeviceGuard, ManyThreadsNeverHoldTheClaimTogether) {
    auto model = std::make_unique<CTavoModel>();
    std::atomic<int> holders{0};
    std::atomic<int> overlaps{0};
    std::atomic<int> granted{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 2000; ++i) {
                DeviceOperationGuard guard(*model);
                if (!guard.owns())
                    continue;
                ++granted;
                if (++holders != 1)
                    ++overlaps;
                std::this_thread::yield();
                --holders;
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(overlaps.load(), 0);
    EXPECT_GT(granted.load(), 0);
    EXPECT_FALSE(model->DeviceOperationRunning());
}

TEST(DeviceGuard, TheClaimMovesWithTheGuardAndEndsOnce) {
    auto model = std::make_unique<CTavoModel>();
    {
        DeviceOperationGuard guard(*model);
        ASSERT_TRUE(guard.owns());
        DeviceOperationGuard moved(std::move(guard));
        EXPECT_FALSE(guard.owns());
        EXPECT_TRUE(moved.owns());

        // Moving a refused guard over the holder ends the claim.
        DeviceOperationGuard refused(*model);
        EXPECT_FALSE(refused.owns());
        moved = std::move(refused);
        EXPECT_FALSE(moved.owns());
        EXPECT_FALSE(model->DeviceOperationRunning());

        // A claim taken after that one is not ended by the guards that gave
        // theirs up.
        ASSERT_TRUE(model->TryBeginDeviceOperation());
    }
    EXPECT_TRUE(model->DeviceOperationRunning());
    EXPECT_FALSE(model->TryBeginDeviceOperation());
    model->EndDeviceOperation();

    DeviceOperationGuard guard(*model);
    guard.release();
    EXPECT_FALSE(model->DeviceOperationRunning());
    DeviceOperationGuard other(*model);
    EXPECT_TRUE(other.owns());
    guard.release(); // already released: must not end the other's claim
    EXPECT_TRUE(model->DeviceOperationRunning());
}

TEST(DeviceGuard, ATransferOnAWorkerKeepsOtherCallersOffTheKeyboard) {
    sim::SimKeyboard keyboard(sim::Model::Vanta);
    keyboard.setTiming({.latencyUs = 1000, .restartMs = 2000}); // one report per millisecond
    sim::InProcessKeyboard attached(keyboard);
    auto model = std::make_unique<CTavoModel>();
    model->BuildKeyTables();
    model->ResetKeySettings();
    ASSERT_TRUE(model->device.__createDev());

    std::atomic<bool> finished{false};
    DeviceOperationGuard runner(*model);
    ASSERT_TRUE(runner.owns());
    std::thread worker([&, guard = std::move(runner)]() mutable {
        EXPECT_TRUE(model->writeKeysToDevice(nullptr));
        finished = true;
        guard.release();
    });
    // About 210 reports at a millisecond each: callers meanwhile are refused
    // until the worker has finished and given the claim back.
    int refusals = 0;
    for (;;) {
        DeviceOperationGuard guard(*model);
        if (guard.owns()) {
            EXPECT_TRUE(finished) << "a second operation was let in during the write";
            break;
        }
        ++refusals;
        std::this_thread::sleep_for(5ms);
    }
    worker.join();
    EXPECT_GT(refusals, 0);
    DeviceOperationGuard after(*model);
    ASSERT_TRUE(after.owns());
    EXPECT_TRUE(model->readPressCounters());
}

} // namespace
