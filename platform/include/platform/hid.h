// HID interface list and report I/O: what the device library sees in place of
// the operating system's HID class services.
//
// The list holds every HID interface in a fixed order (system devices through
// hidapi, then simulated keyboards named in VANTACORV_SIM, then in-memory test
// devices). Each entry's path is written in the Windows form
//   \\?\hid#vid_0483&pid_502b&mi_01#<native path>
// (lower-case hex, interface number in two digits) so that a path test written
// for that form applies unchanged on every system.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// An output or input report as it crosses the transport: byte 0 is the report
// ID (always 0 for this keyboard), bytes 1..64 the payload.
constexpr std::size_t kReportSize = 65;
using Report = std::array<std::uint8_t, kReportSize>;

struct HidEntry {
    std::wstring path; // Windows form, see above
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    int interfaceNumber = -1; // -1 when the device has no interface number
};

enum class OpenError {
    None,       // opened
    NotFound,   // nothing answers to this path (unplugged, socket gone)
    Busy,       // another program holds the interface
    Permission, // the interface exists but this user may not open it
    Io,         // any other failure
};

enum class ReadStatus { Ok, Timeout, Error };

// One open interface. Open handles are exclusive across processes: while one
// is open, opening the same interface again fails with OpenError::Busy.
class HidDevice {
  public:
    virtual ~HidDevice() = default;
    // Sends one output report of `length` bytes, byte 0 the report ID.
    virtual bool write(const std::uint8_t* data, std::size_t length) = 0;
    // Waits at most timeoutMs for one input report and hands it back as 65
    // bytes with byte 0 = report ID 0, whatever the backend delivers.
    virtual ReadStatus read(Report& report, int timeoutMs) = 0;
};

struct OpenResult {
    std::unique_ptr<HidDevice> device; // null when the open failed
    OpenError error = OpenError::NotFound;
};

// Every HID interface present now, in index order.
std::vector<HidEntry> hidEnumerate();

// Opens the interface of a path that hidEnumerate() produced.
OpenResult hidOpen(const std::wstring& path);

// The outcome of the last hidOpen() on the calling thread (None before any).
OpenError hidLastOpenError();

// Text for an open error, for messages to the user.
const char* hidOpenErrorText(OpenError error);

// Builds the Windows-form path of an interface.
std::wstring hidWindowsPath(std::uint16_t vendorId, std::uint16_t productId, int interfaceNumber,
                            const std::string& nativePath);

// The native part of a Windows-form path (everything after the second '#'),
// or the whole text when it is not in that form.
std::string hidNativePath(const std::wstring& path);

// System devices (hidapi) are listed unless this is switched off or the
// environment variable VANTACORV_SIM_ONLY is set to a non-empty value.
void hidSetSystemDevicesEnabled(bool enabled);

// Narrows the list to the one interface with this path, so that whatever
// takes the first keyboard of the list takes that one; an empty path lists
// everything again. A tool that lets its user choose among several
// keyboards sets it before the device library looks.
void hidShowOnly(const std::wstring& path);

// Writes a report as hex to standard error with a direction tag; used by the
// transport when reports are traced.
void hidDumpReport(const char* tag, const std::uint8_t* data, std::size_t length);

} // namespace platform
