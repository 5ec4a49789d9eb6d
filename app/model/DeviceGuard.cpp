#include "DeviceGuard.h"

#include <utility>

bool CTavoModel::TryBeginDeviceOperation() {
    bool expected = false;
    return deviceOperationRunning_.compare_exchange_strong(expected, true, std::memory_order_acquire,
                                                           std::memory_order_relaxed);
}

void CTavoModel::EndDeviceOperation() { deviceOperationRunning_.store(false, std::memory_order_release); }

bool CTavoModel::DeviceOperationRunning() const { return deviceOperationRunning_.load(std::memory_order_acquire); }

DeviceOperationGuard::DeviceOperationGuard(CTavoModel& model)
    : model_(model.TryBeginDeviceOperation() ? &model : nullptr) {}

DeviceOperationGuard::~DeviceOperationGuard() { release(); }

DeviceOperationGuard::DeviceOperationGuard(DeviceOperationGuard&& other) noexcept
    : model_(std::exchange(other.model_, nullptr)) {}

DeviceOperationGuard& DeviceOperationGuard::operator=(DeviceOperationGuard&& other) noexcept {
    if (this != &other) {
        release();
        model_ = std::exchange(other.model_, nullptr);
    }
    return *this;
}

void DeviceOperationGuard::release() {
    if (model_)
        std::exchange(model_, nullptr)->EndDeviceOperation();
}
