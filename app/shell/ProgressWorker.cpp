#include "ProgressWorker.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace shell {

namespace {

constexpr int kAfterKeyWriteMs = 1000;
constexpr int kBetweenReadsMs = 2000;
constexpr int kAfterSingleStepMs = 1000;
// The worker's own single progress step: 200 % on the bar of these modes.
constexpr std::uintptr_t kSingleStep = 150;

std::atomic<ProgressSleep> g_sleep{nullptr};

void pause(int ms) {
    if (ProgressSleep sleep = g_sleep.load())
        sleep(ms);
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void post(HWND window, unsigned message, std::uintptr_t wParam) {
    if (window)
        platform::postMessage(window, message, wParam, 0);
}

// Modes 4 to 6: one step, the worker's own progress, a pause when someone
// watches.
DeviceStep singleStep(HWND window, bool ok, DeviceStep failed) {
    if (!ok)
        return failed;
    post(window, platform::UM_DEVICE_PROGRESS, kSingleStep);
    if (window)
        pause(kAfterSingleStepMs);
    return DeviceStep::None;
}

DeviceStep steps(CTavoModel& model, DeviceOp op, HWND window) {
    switch (op) {
    case OP_WRITE_KEYS:
        if (!model.writeKeysToDevice(window) || !model.confirmWritesTaken())
            return DeviceStep::WriteKeys;
        pause(kAfterKeyWriteMs);
        return DeviceStep::None;
    case OP_READ_ALL:
        // A colour read after a failed key read would only wait out its
        // time-outs.
        if (!model.readKeysFromDevice(window))
            return DeviceStep::ReadKeys;
        pause(kBetweenReadsMs);
        return model.readLightFromDevice() ? DeviceStep::None : DeviceStep::ReadLight;
    case OP_WRITE_LIGHT:
        return singleStep(window, model.writeLightToDevice() && model.confirmWritesTaken(),
                          DeviceStep::WriteLight);
    case OP_READ_COUNTERS:
        return singleStep(window, model.readPressCounters(), DeviceStep::ReadCounters);
    case OP_READ_LIGHT:
        return singleStep(window, model.readLightFromDevice(), DeviceStep::ReadLight);
    }
    return DeviceStep::Unknown;
}

// Every worker thread, so that each one is joined: by its caller once it
// has reported, by waitForDeviceOperations, or at the latest when the
// program ends (constructed on first use, after the model, so destroyed
// before it).
class Workers {
  public:
    ~Workers() { joinAll(); }

    std::uint64_t start(DeviceOp op, HWND window, DeviceOperationGuard claim) {
        reapEnded();
        auto ended = std::make_shared<std::atomic<bool>>(false);
        std::thread thread([op, window, claim = std::move(claim), ended]() mutable {
            runDeviceWork(g_model, op, window, claim);
            ended->store(true);
        });
        std::lock_guard lock(mutex_);
        const std::uint64_t id = ++lastId_;
        workers_.push_back({id, std::move(thread), std::move(ended)});
        return id;
    }

    void join(std::uint64_t id) {
        std::thread thread;
        {
            std::lock_guard lock(mutex_);
            for (auto it = workers_.begin(); it != workers_.end(); ++it) {
                if (it->id == id) {
                    thread = std::move(it->thread);
                    workers_.erase(it);
                    break;
                }
            }
        }
        if (thread.joinable())
            thread.join();
    }

    void joinAll() {
        for (;;) {
            std::vector<Worker> taken;
            {
                std::lock_guard lock(mutex_);
                taken.swap(workers_);
            }
            if (taken.empty())
                return;
            for (auto& w : taken)
                w.thread.join();
        }
    }

  private:
    struct Worker {
        std::uint64_t id;
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> ended;
    };

    // Cancelled workers that have ended since.
    void reapEnded() {
        std::vector<Worker> ended;
        {
            std::lock_guard lock(mutex_);
            for (auto it = workers_.begin(); it != workers_.end();) {
                if (it->ended->load()) {
                    ended.push_back(std::move(*it));
                    it = workers_.erase(it);
                } else {
                    ++it;
                }
            }
        }
        for (auto& w : ended)
            w.thread.join();
    }

    std::mutex mutex_;
    std::vector<Worker> workers_;
    std::uint64_t lastId_ = 0;
};

Workers& workers() {
    static Workers all;
    return all;
}

} // namespace

ProgressSleep setProgressSleep(ProgressSleep sleep) {
    return g_sleep.exchange(sleep);
}

DeviceStep runDeviceWork(CTavoModel& model, DeviceOp op, HWND window, DeviceOperationGuard& claim) {
    const DeviceStep result = steps(model, op, window);
    claim.release();
    post(window, platform::UM_DEVICE_DONE, static_cast<std::uintptr_t>(result));
    return result;
}

std::uint64_t startDeviceWorker(DeviceOp op, HWND window, DeviceOperationGuard claim) {
    return workers().start(op, window, std::move(claim));
}

void joinDeviceWorker(std::uint64_t worker) {
    workers().join(worker);
}

void joinDeviceWorkers() {
    workers().joinAll();
}

} // namespace shell
