// Report transport to the keyboard's configuration interface.
#pragma once

#include "platform/hid.h"

// The open interface; writes and reads 65-byte reports. The handle is null
// when the interface could not be opened: every write then fails.
class CKeyboardUtil {
  public:
    explicit CKeyboardUtil(platform::HidDevice* handle) : m_handle(handle) {}
    ~CKeyboardUtil();
    CKeyboardUtil(const CKeyboardUtil&) = delete;
    CKeyboardUtil& operator=(const CKeyboardUtil&) = delete;

    // Sends one output report (callers pass 65 bytes, byte 0 the report ID).
    virtual bool writeReport(const unsigned char* bytes, int length);
    // Reads one input report and hands on its bytes after the report ID:
    // *length of them (at most 64) into buffer. Waits at most `timeout`
    // milliseconds, and never longer than readTimeoutCapMs().
    virtual bool readReport(unsigned char* buffer, int* length, int timeout);

    bool isOpen() const { return m_handle != nullptr; }

    // The longest a read waits for the keyboard: 2000 ms, or the value of
    // VANTACORV_READ_TIMEOUT_MS when set.
    static int readTimeoutCapMs();

  private:
    platform::HidDevice* m_handle;
};

// Adds the firmware version request.
class CTavoUtil final : public CKeyboardUtil {
  public:
    using CKeyboardUtil::CKeyboardUtil;

    // Asks for the version text and writes it as 62 wide characters into
    // text (which holds at least 64), zero-terminated.
    virtual bool readVersion(wchar_t* text);
};

// The time-out every caller of readReport passes.
constexpr int kReadTimeoutArgument = 100000;
