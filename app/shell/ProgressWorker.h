// The worker side of the device operation runner: the steps of each operation
// with their pauses and posts, the threads they run on (kept in one place so
// that every one is joined), and the pause a test can shorten. Nothing here
// touches a window other than through posted messages.
#pragma once

#include "DeviceGuard.h"
#include "TavoDialogProgress.h"
#include "platform/window.h"

#include <cstdint>

namespace shell {

// What failed in an operation, carried as UM_DEVICE_DONE's wParam: 0 when
// every step succeeded.
enum class DeviceStep : std::uintptr_t {
    None = 0,
    WriteKeys,
    ReadKeys,
    WriteLight,
    ReadLight,
    ReadCounters,
    Unknown, // a mode no operation has
};

// The pause between an operation's steps; the default really sleeps.
using ProgressSleep = void (*)(int ms);
// Sets the pause (null puts back the real one) and returns the one before.
ProgressSleep setProgressSleep(ProgressSleep sleep);

// Runs op's steps on the calling thread, posting the worker's progress and
// completion to window (skipped when it is null). The claim is given up before
// the completion is posted, so that the window's caller may start the next
// operation at once. A write counts only when the keyboard answers a version
// request sent after it: a link that buffers reports would otherwise let a
// transfer cut short look complete. The first step that fails ends the
// operation.
DeviceStep runDeviceWork(CTavoModel& model, DeviceOp op, HWND window, DeviceOperationGuard& claim);

// Starts runDeviceWork on g_model on a thread of its own, holding the claim.
// Returns the worker's number for joinDeviceWorker.
std::uint64_t startDeviceWorker(DeviceOp op, HWND window, DeviceOperationGuard claim);
// Waits for one worker (nothing when it was joined already).
void joinDeviceWorker(std::uint64_t worker);
// Waits for every worker started so far.
void joinDeviceWorkers();

} // namespace shell
