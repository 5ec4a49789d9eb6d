#include "hid_backend.h"

#include "platform/codepage.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace platform {

namespace {

std::atomic<bool> g_systemEnabled{true};
thread_local OpenError t_lastOpenError = OpenError::None;

std::mutex g_onlyMutex;
std::wstring g_onlyPath; // empty: every interface is listed

bool systemDevicesListed() {
    const char* simOnly = std::getenv("VANTACORV_SIM_ONLY");
    return g_systemEnabled.load() && !(simOnly && *simOnly);
}

bool startsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

} // namespace

std::vector<HidEntry> hidEnumerate() {
    std::vector<HidEntry> entries;
    if (systemDevicesListed())
        backend::systemEnumerate(entries);
    backend::simEnumerate(entries);
    backend::memoryEnumerate(entries);
    std::lock_guard lock(g_onlyMutex);
    if (!g_onlyPath.empty())
        std::erase_if(entries, [](const HidEntry& e) { return e.path != g_onlyPath; });
    return entries;
}

void hidShowOnly(const std::wstring& path) {
    std::lock_guard lock(g_onlyMutex);
    g_onlyPath = path;
}

OpenResult hidOpen(const std::wstring& path) {
    OpenResult result;
    if (!backend::memoryOpen(path, result)) {
        const std::string native = hidNativePath(path);
        if (startsWith(native, backend::kSimPrefix))
            result = backend::simOpen(native.substr(std::char_traits<char>::length(backend::kSimPrefix)));
        else if (!native.empty() && systemDevicesListed())
            result = backend::systemOpen(native);
        else
            result.error = OpenError::NotFound;
    }
    if (result.device)
        result.error = OpenError::None;
    else if (result.error == OpenError::None)
        result.error = OpenError::Io;
    t_lastOpenError = result.error;
    return result;
}

OpenError hidLastOpenError() { return t_lastOpenError; }

const char* hidOpenErrorText(OpenError error) {
    switch (error) {
    case OpenError::None:
        return "opened";
    case OpenError::NotFound:
        return "the keyboard is gone";
    case OpenError::Busy:
        return "another program holds the keyboard";
    case OpenError::Permission:
        return "no permission to open the keyboard";
    case OpenError::Io:
        return "the keyboard could not be opened";
    }
    return "unknown error";
}

std::wstring hidWindowsPath(std::uint16_t vendorId, std::uint16_t productId, int interfaceNumber,
                            const std::string& nativePath) {
    char head[64];
    if (interfaceNumber >= 0)
        std::snprintf(head, sizeof head, "\\\\?\\hid#vid_%04x&pid_%04x&mi_%02x#", vendorId,
                      productId, interfaceNumber & 0xff);
    else
        std::snprintf(head, sizeof head, "\\\\?\\hid#vid_%04x&pid_%04x#", vendorId, productId);
    return utf8ToWide(head) + utf8ToWide(nativePath);
}

std::string hidNativePath(const std::wstring& path) {
    static const std::wstring prefix = L"\\\\?\\hid#";
    if (path.rfind(prefix, 0) != 0)
        return wideToUtf8(path);
    const auto second = path.find(L'#', prefix.size());
    if (second == std::wstring::npos)
        return wideToUtf8(path);
    return wideToUtf8(path.substr(second + 1));
}

void hidSetSystemDevicesEnabled(bool enabled) { g_systemEnabled = enabled; }

void hidDumpReport(const char* tag, const std::uint8_t* data, std::size_t length) {
    std::string line = tag;
    char hex[4];
    for (std::size_t i = 0; i < length; ++i) {
        std::snprintf(hex, sizeof hex, " %02x", data[i]);
        line += hex;
    }
    line += '\n';
    std::fputs(line.c_str(), stderr);
}

} // namespace platform
