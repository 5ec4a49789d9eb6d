#include "firmware.h"

#include "link.h"

#include <cstring>
#include <string_view>

using namespace hwi::protocol;

namespace hwi {

namespace {

constexpr std::size_t kRecordOverhead = 5; // byte count, two address bytes, record type, checksum

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::optional<FirmwareRecord> parseLine(std::string_view line) {
    if (line.empty() || line.front() != ':')
        return std::nullopt;
    const std::string_view digits = line.substr(1);
    if (digits.size() % 2 != 0 || digits.size() / 2 > kFirmwareLineBytes)
        return std::nullopt;
    FirmwareRecord bytes;
    bytes.reserve(digits.size() / 2);
    unsigned sum = 0;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        const int high = hexValue(digits[i]);
        const int low = hexValue(digits[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
        sum += bytes.back();
    }
    if (bytes.size() < kRecordOverhead || bytes[0] + kRecordOverhead != bytes.size() ||
        (sum & 0xFF) != 0)
        return std::nullopt;
    return bytes;
}

} // namespace

std::optional<std::vector<FirmwareRecord>> parseFirmwareImage(const char* image,
                                                              std::size_t length) {
    if (!image || length == 0)
        return std::nullopt;
    const std::string_view text(image, strnlen(image, length));
    std::vector<FirmwareRecord> records;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\r', start), text.size());
        if (end == start)
            break; // an empty line ends the image
        auto record = parseLine(text.substr(start, end - start));
        if (!record)
            return std::nullopt;
        records.push_back(std::move(*record));
        start = end + 1;
        if (start < text.size() && text[start] == '\n')
            ++start;
    }
    if (records.empty())
        return std::nullopt;
    return records;
}

bool downloadFirmware(CKeyboardUtil& link, const char* image, std::size_t length, HWND progress) {
    const auto records = parseFirmwareImage(image, length);
    if (!records)
        return false;
    const std::size_t lines = records->size();
    std::size_t sent = 0;
    unsigned lastPosted = 0;
    for (const auto& record : *records) {
        if (!sendReport(link, reports::firmwareLine(record.data(), record.size())))
            return false;
        sent += static_cast<std::size_t>(kFirmwareProgressEnd);
        const auto value = static_cast<unsigned>(sent / lines);
        if (value > lastPosted) {
            postProgress(progress, value);
            lastPosted = value;
        }
    }
    return true;
}

} // namespace hwi
