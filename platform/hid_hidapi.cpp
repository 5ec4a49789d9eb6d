// System backend: every HID interface that hidapi reports.
#include "hid_backend.h"

#include <hidapi.h>

#include <cstring>
#include <mutex>

namespace platform::backend {

namespace {

bool ensureInit() {
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] { ok = hid_init() == 0; });
    return ok;
}

class HidapiHandle final : public HidDevice {
  public:
    HidapiHandle(hid_device* device, NodeClaim claim) : device_(device), claim_(std::move(claim)) {}
    ~HidapiHandle() override { hid_close(device_); }

    bool write(const std::uint8_t* data, std::size_t length) override {
        return hid_write(device_, data, length) >= 0;
    }

    ReadStatus read(Report& report, int timeoutMs) override {
        // hidapi hands back the report without the report ID of unnumbered reports.
        unsigned char buffer[kReportSize - 1];
        const int n = hid_read_timeout(device_, buffer, sizeof buffer, timeoutMs);
        if (n < 0)
            return ReadStatus::Error;
        if (n == 0)
            return ReadStatus::Timeout;
        report.fill(0);
        std::memcpy(report.data() + 1, buffer, static_cast<std::size_t>(n));
        return ReadStatus::Ok;
    }

  private:
    hid_device* device_;
    NodeClaim claim_;
};

} // namespace

void systemEnumerate(std::vector<HidEntry>& out) {
    if (!ensureInit())
        return;
    hid_device_info* all = hid_enumerate(0, 0);
    for (hid_device_info* d = all; d; d = d->next) {
        if (!d->path)
            continue;
        HidEntry entry;
        entry.vendorId = d->vendor_id;
        entry.productId = d->product_id;
        entry.interfaceNumber = d->interface_number;
        entry.path = hidWindowsPath(d->vendor_id, d->product_id, d->interface_number, d->path);
        out.push_back(std::move(entry));
    }
    hid_free_enumeration(all);
}

OpenResult systemOpen(const std::string& nativePath) {
    OpenResult result;
    if (!ensureInit()) {
        result.error = OpenError::Io;
        return result;
    }
    NodeClaim claim;
    result.error = NodeClaim::acquire(nativePath, claim);
    if (result.error != OpenError::None)
        return result;
    hid_device* device = hid_open_path(nativePath.c_str());
    if (!device) {
        result.error = OpenError::Io;
        return result;
    }
    result.device = std::make_unique<HidapiHandle>(device, std::move(claim));
    return result;
}

} // namespace platform::backend
