// Firmware images: Intel HEX text, one output report per line.
#pragma once

#include "platform/window.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

class CKeyboardUtil;

namespace hwi {

using FirmwareRecord = std::vector<std::uint8_t>; // a line's decoded bytes

// Splits and checks a whole image of `length` characters (it also ends at a
// zero character, and at its first empty line). Lines end in a carriage
// return, optionally followed by a line feed; the last one may end without.
// Every line must start with ':', hold an even number of hexadecimal digits,
// at most the 62 bytes a report carries and at least an Intel HEX record's
// five, its byte count must match its data and its checksum must be right.
// Nothing for a malformed image.
std::optional<std::vector<FirmwareRecord>> parseFirmwareImage(const char* image,
                                                              std::size_t length);

// Checks the image, then sends it line by line and posts the progress value
// (150 * lines sent / lines, each new value once). False, with nothing sent,
// for a malformed image; false at the first failed write.
bool downloadFirmware(CKeyboardUtil& link, const char* image, std::size_t length, HWND progress);

} // namespace hwi
