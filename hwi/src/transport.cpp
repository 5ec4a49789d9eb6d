#include "transport.h"

#include "hwi/protocol.h"
#include "platform/codepage.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

#if VANTACORV_HEXDUMP_REPORTS
constexpr bool kTraceReports = true;
#else
constexpr bool kTraceReports = false;
#endif

constexpr int kDefaultReadTimeoutCapMs = 2000;

} // namespace

CKeyboardUtil::~CKeyboardUtil() { delete m_handle; }

int CKeyboardUtil::readTimeoutCapMs() {
    static const int cap = [] {
        if (const char* text = std::getenv("VANTACORV_READ_TIMEOUT_MS")) {
            const int value = std::atoi(text);
            if (value > 0)
                return value;
        }
        return kDefaultReadTimeoutCapMs;
    }();
    return cap;
}

bool CKeyboardUtil::writeReport(const unsigned char* bytes, int length) {
    if (!m_handle || !bytes || length <= 0)
        return false;
    if constexpr (kTraceReports)
        platform::hidDumpReport("out", bytes, static_cast<std::size_t>(length));
    return m_handle->write(bytes, static_cast<std::size_t>(length));
}

bool CKeyboardUtil::readReport(unsigned char* buffer, int* length, int timeout) {
    if (!m_handle || !buffer || !length)
        return false;
    platform::Report report{};
    const int waitMs = std::clamp(timeout, 0, readTimeoutCapMs());
    if (m_handle->read(report, waitMs) != platform::ReadStatus::Ok)
        return false;
    if constexpr (kTraceReports)
        platform::hidDumpReport("in ", report.data(), report.size());
    const int count = std::clamp(*length, 0, static_cast<int>(hwi::protocol::kReplySize));
    std::memcpy(buffer, report.data() + 1, static_cast<std::size_t>(count));
    return true;
}

bool CTavoUtil::readVersion(wchar_t* text) {
    using namespace hwi::protocol;
    unsigned char request[kReportSize] = {};
    request[kCommandByte] = CMD_VERSION_READ;
    if (!writeReport(request, kReportSize))
        return false;
    unsigned char reply[kReplySize] = {};
    int length = kReplySize;
    if (!readReport(reply, &length, kReadTimeoutArgument))
        return false;
    // The keyboard pads with zero bytes; zero bytes become zero characters,
    // so the first one ends the text. Position 62 always ends it.
    std::fill(text, text + kVersionLength + 1, L'\0');
    platform::narrowToWide(reinterpret_cast<const char*>(reply + kVersionOffset), kVersionLength, text,
                           kVersionLength);
    return true;
}
