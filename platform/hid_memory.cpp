#include "platform/hid_memory.h"

#include "hid_backend.h"

#include <algorithm>
#include <atomic>
#include <chrono>

namespace platform {

namespace {

std::mutex g_registryMutex;
std::vector<std::shared_ptr<MemoryHidDevice>> g_attached;
std::atomic<int> g_nextId{1};

HidEntry entryForPath(const std::wstring& path) {
    HidEntry entry;
    entry.path = path;
    return entry;
}

} // namespace

MemoryHidDevice::MemoryHidDevice(std::wstring path) : path_(std::move(path)), entry_(entryForPath(path_)) {}

MemoryHidDevice::MemoryHidDevice(std::uint16_t vendorId, std::uint16_t productId, int interfaceNumber)
    : path_(hidWindowsPath(vendorId, productId, interfaceNumber, "mem:" + std::to_string(g_nextId++))) {
    entry_.path = path_;
    entry_.vendorId = vendorId;
    entry_.productId = productId;
    entry_.interfaceNumber = interfaceNumber;
}

void MemoryHidDevice::setResponder(Responder responder) {
    std::lock_guard lock(mutex_);
    responder_ = std::move(responder);
}

void MemoryHidDevice::queueReply(const Report& reply) {
    {
        std::lock_guard lock(mutex_);
        replies_.push_back(reply);
    }
    replyReady_.notify_all();
}

void MemoryHidDevice::queueReplyPayload(const std::vector<std::uint8_t>& payload) {
    Report report{};
    std::copy_n(payload.begin(), std::min(payload.size(), kReportSize - 1), report.begin() + 1);
    queueReply(report);
}

void MemoryHidDevice::setBusy(bool busy) {
    std::lock_guard lock(mutex_);
    busy_ = busy;
}

void MemoryHidDevice::setWriteFails(bool fails) {
    std::lock_guard lock(mutex_);
    writeFails_ = fails;
}

std::vector<Report> MemoryHidDevice::written() const {
    std::lock_guard lock(mutex_);
    return written_;
}

void MemoryHidDevice::clearWritten() {
    std::lock_guard lock(mutex_);
    written_.clear();
}

std::size_t MemoryHidDevice::pendingReplies() const {
    std::lock_guard lock(mutex_);
    return replies_.size();
}

bool MemoryHidDevice::isOpen() const {
    std::lock_guard lock(mutex_);
    return open_;
}

class MemoryHandle final : public HidDevice {
  public:
    explicit MemoryHandle(std::shared_ptr<MemoryHidDevice> device) : device_(std::move(device)) {}

    ~MemoryHandle() override {
        std::lock_guard lock(device_->mutex_);
        device_->open_ = false;
    }

    bool write(const std::uint8_t* data, std::size_t length) override {
        Report report{};
        std::copy_n(data, std::min(length, kReportSize), report.begin());
        MemoryHidDevice::Responder responder;
        {
            std::lock_guard lock(device_->mutex_);
            if (!device_->attached_ || device_->writeFails_)
                return false;
            device_->written_.push_back(report);
            responder = device_->responder_;
        }
        // The responder runs unlocked: it may queue replies or inspect the device.
        if (responder) {
            std::vector<Report> replies;
            responder(report, replies);
            {
                std::lock_guard lock(device_->mutex_);
                for (const auto& reply : replies)
                    device_->replies_.push_back(reply);
            }
            device_->replyReady_.notify_all();
        }
        return true;
    }

    ReadStatus read(Report& report, int timeoutMs) override {
        std::unique_lock lock(device_->mutex_);
        const bool ready =
            device_->replyReady_.wait_for(lock, std::chrono::milliseconds(std::max(timeoutMs, 0)), [&] {
                return !device_->replies_.empty() || !device_->attached_;
            });
        if (!device_->attached_)
            return ReadStatus::Error;
        if (!ready)
            return ReadStatus::Timeout;
        report = device_->replies_.front();
        report[0] = 0;
        device_->replies_.pop_front();
        return ReadStatus::Ok;
    }

  private:
    std::shared_ptr<MemoryHidDevice> device_;
};

MemoryHidAttachment::MemoryHidAttachment(std::shared_ptr<MemoryHidDevice> device) : device_(std::move(device)) {
    {
        std::lock_guard deviceLock(device_->mutex_);
        device_->attached_ = true;
    }
    std::lock_guard lock(g_registryMutex);
    g_attached.push_back(device_);
}

MemoryHidAttachment::~MemoryHidAttachment() {
    {
        std::lock_guard lock(g_registryMutex);
        g_attached.erase(std::remove(g_attached.begin(), g_attached.end(), device_), g_attached.end());
    }
    {
        std::lock_guard deviceLock(device_->mutex_);
        device_->attached_ = false;
    }
    device_->replyReady_.notify_all();
}

namespace backend {

void memoryEnumerate(std::vector<HidEntry>& out) {
    std::lock_guard lock(g_registryMutex);
    for (const auto& device : g_attached)
        out.push_back(device->entry());
}

bool memoryOpen(const std::wstring& path, OpenResult& result) {
    std::shared_ptr<MemoryHidDevice> device;
    {
        std::lock_guard lock(g_registryMutex);
        for (const auto& candidate : g_attached)
            if (candidate->path() == path)
                device = candidate;
    }
    if (!device)
        return false;
    result = MemoryHidDevice::open(device);
    return true;
}

} // namespace backend

OpenResult MemoryHidDevice::open(const std::shared_ptr<MemoryHidDevice>& device) {
    OpenResult result;
    std::lock_guard lock(device->mutex_);
    if (device->busy_ || device->open_) {
        result.error = OpenError::Busy;
        return result;
    }
    device->open_ = true;
    result.device = std::make_unique<MemoryHandle>(device);
    result.error = OpenError::None;
    return result;
}

} // namespace platform
