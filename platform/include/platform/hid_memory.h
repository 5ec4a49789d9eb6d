// In-memory HID device for tests and for running the simulated keyboard inside
// the process: it records every report written to it and hands out replies,
// either queued in advance or produced by a responder for each written report.
#pragma once

#include "platform/hid.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace platform {

class MemoryHidDevice {
  public:
    // Called for every report written; appends the replies the device sends.
    using Responder = std::function<void(const Report& written, std::vector<Report>& replies)>;

    // A device that lists with exactly this path (any text, for path tests).
    explicit MemoryHidDevice(std::wstring path);
    // A device that lists as a USB interface with the given identity.
    MemoryHidDevice(std::uint16_t vendorId, std::uint16_t productId, int interfaceNumber);

    const std::wstring& path() const { return path_; }
    const HidEntry& entry() const { return entry_; }

    void setResponder(Responder responder);
    // Queues a reply that the next read hands out (report byte 0 = report ID).
    void queueReply(const Report& reply);
    // Queues a reply given as the 64 bytes r[0..63] after the report ID.
    void queueReplyPayload(const std::vector<std::uint8_t>& payload);
    // When busy, every open fails as if another program held the device.
    void setBusy(bool busy);
    // When set, writes fail (a pulled cable from the host's side).
    void setWriteFails(bool fails);

    std::vector<Report> written() const;
    void clearWritten();
    std::size_t pendingReplies() const;
    bool isOpen() const;

    // Opens a handle on the device as the HID list does for its path.
    static OpenResult open(const std::shared_ptr<MemoryHidDevice>& device);

  private:
    friend class MemoryHandle;
    friend class MemoryHidAttachment;

    std::wstring path_;
    HidEntry entry_;
    mutable std::mutex mutex_;
    std::condition_variable replyReady_;
    Responder responder_;
    std::deque<Report> replies_;
    std::vector<Report> written_;
    bool busy_ = false;
    bool writeFails_ = false;
    bool open_ = false;
    bool attached_ = false;
};

// Lists a memory device (after system devices and simulator sockets) for as
// long as the attachment lives. Detaching makes open handles fail, as an
// unplugged keyboard does.
class MemoryHidAttachment {
  public:
    explicit MemoryHidAttachment(std::shared_ptr<MemoryHidDevice> device);
    ~MemoryHidAttachment();
    MemoryHidAttachment(const MemoryHidAttachment&) = delete;
    MemoryHidAttachment& operator=(const MemoryHidAttachment&) = delete;

    MemoryHidDevice& device() { return *device_; }

  private:
    std::shared_ptr<MemoryHidDevice> device_;
};

} // namespace platform
