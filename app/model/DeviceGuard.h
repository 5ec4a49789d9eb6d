// DeviceOperationGuard: the claim on a model's device for one operation (a key
// or light transfer, a counter read, a firmware download). Only one claim is
// granted at a time; a second caller is refused at once instead of waiting
// behind the one that runs, so that a user interface never blocks on a
// transfer that may take until its time-outs.
//
//     DeviceOperationGuard guard(model);
//     if (!guard.owns())
//         return; // another operation is using the keyboard
//     model.writeKeysToDevice(window);
//
// The guard may be moved, for example into the worker thread that runs the
// operation; the claim ends when the guard that holds it is destroyed or
// released.
#pragma once

#include "TavoModel.h"

class DeviceOperationGuard {
  public:
    // Tries to claim model's device; owns() tells whether it was granted.
    explicit DeviceOperationGuard(CTavoModel& model);
    ~DeviceOperationGuard();
    DeviceOperationGuard(DeviceOperationGuard&& other) noexcept;
    DeviceOperationGuard& operator=(DeviceOperationGuard&& other) noexcept;
    DeviceOperationGuard(const DeviceOperationGuard&) = delete;
    DeviceOperationGuard& operator=(const DeviceOperationGuard&) = delete;

    bool owns() const { return model_ != nullptr; }
    explicit operator bool() const { return owns(); }
    // Ends the claim now (nothing when none is held).
    void release();

  private:
    CTavoModel* model_;
};
