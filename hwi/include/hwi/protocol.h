// The keyboard's report protocol: framing and command codes. Shared by the
// device library and the simulated keyboard, which speak it from both ends.
//
// Framing. Every exchange is one HID report on the configuration interface
// (vendor 0483, products 502b / 512b / 522b, interface mi_01), synchronous, one
// report at a time.
//  - Output report, 65 bytes: [0] report ID = 0, [1] = 0, [2] command code,
//    [3..64] parameters, zero where unused. The two end-of-transfer reports are
//    the exceptions noted below.
//  - Input report, read as 65 bytes; the transport drops the report ID and hands
//    on the 64 bytes after it, called r[0]..r[63]. Most replies carry their
//    code in r[1].
//
// Version request (CMD_VERSION_READ):
//   out: [2] = 0xF9, all else 0
//   in:  r[2]..r[63] the version text in the system code page, zero padded;
//        r[0], r[1] are not looked at (the simulator sets r[1] = 0xF9).
#pragma once

#include <cstddef>
#include <cstdint>

namespace hwi::protocol {

constexpr std::size_t kReportSize = 65;      // output and input report, report ID included
constexpr std::size_t kReplySize = 64;       // r[0]..r[63]
constexpr std::size_t kCommandByte = 2;      // position of the command code in an output report
constexpr std::size_t kVersionOffset = 2;    // version text starts at r[2]
constexpr std::size_t kVersionLength = 62;   // r[2]..r[63]

constexpr std::uint8_t CMD_KEYS_BEGIN = 0xF1;    // out: begins a write of key definitions
constexpr std::uint8_t CMD_KEY_RECORD = 0xF0;    // out and in: one key-definition record or an empty slot
constexpr std::uint8_t CMD_KEYS_END = 0xF6;      // out: [1] = 0, [2..64] = 0xF6; in: r[0] = 0xF6
constexpr std::uint8_t CMD_KEYS_READ = 0xF2;     // out: asks for all key definitions
constexpr std::uint8_t CMD_LIGHT_BEGIN = 0xE1;   // out: begins a write of the light area
constexpr std::uint8_t CMD_LIGHT_DATA = 0xE0;    // out and in: one piece of the light area
constexpr std::uint8_t CMD_LIGHT_END = 0xE6;     // out: [1..64] = 0xE6; in: r[1] = 0xE6 ends light and counter replies
constexpr std::uint8_t CMD_LIGHT_READ = 0xE2;    // out: asks for the light area
constexpr std::uint8_t CMD_COUNTERS_READ = 0xE3; // out and in: asks for the press counters; marks each counter reply
constexpr std::uint8_t CMD_VERSION_READ = 0xF9;  // out: asks for the firmware version text
constexpr std::uint8_t CMD_FIRMWARE_LINE = 0x3A; // out: one line of a firmware image

// USB identity of the keyboard's configuration interface, as path texts.
constexpr const wchar_t* kVendorIdText = L"0483";
constexpr const wchar_t* kInterfaceText = L"mi_01";
// Product ID texts in the order of the device types 1, 2, 3.
constexpr const wchar_t* kProductIdTexts[] = {L"502b", L"512b", L"522b"};
constexpr std::uint16_t kVendorId = 0x0483;
constexpr std::uint16_t kProductIds[] = {0x502b, 0x512b, 0x522b};
constexpr int kConfigInterface = 1;

// Slot table and byte areas the library keeps for an open keyboard.
constexpr int kKeyCount = 104;
constexpr int kLayerCount = 2;
constexpr int kSlotCount = kKeyCount * kLayerCount; // 208
constexpr std::size_t kLightAreaSize = kKeyCount * 3;   // 312
constexpr std::size_t kCounterAreaSize = kKeyCount * 4; // 416

} // namespace hwi::protocol
