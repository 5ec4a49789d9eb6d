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
//
// Key definitions. A record travels as one or more 64-byte blocks; a block is
// bytes 1..64 of an output report, and r[0]..r[63] of a reply. Numbers of more
// than one byte are big-endian; bytes no field covers are zero.
//   type 0, one block:  [0] 0  [1] 0xF0  [2] layer  [3] key  [4] 0  [5] n
//                       [6..6+n-1] codes (n <= 58)
//   type 1, one block:  [0] 0  [1] 0xF0  [2] layer  [3] key  [4] 1
//                       [5..6] delay  [7] n  [8..8+n-1] codes (n <= 56)
//   types 2..4 (macro): payload of L bytes cut into pieces of 53; every block
//                       carries the same header and its piece:
//                       [0] 0  [1] 0xF0  [2] layer  [3] key  [4] type
//                       [5] cycles  [6] stepDelays  [7..8] delay  [9..10] L
//                       [11..63] payload bytes 53*j .. 53*j+52 of block j
//                       stepDelays 0: payload = code[0] .. code[n-1], L = n
//                       stepDelays 1: code[i] 0xC8 delay[i]hi delay[i]lo for
//                       each step but the last, then code[n-1]; L = 4n - 3
//   empty slot:         the type 0 block with n = 0.
//
// Key write, no replies:
//   out [2] = 0xF1; then for slot 0..207 (layer = s / 104 + 1, key =
//   s % 104 + 1) its blocks, each in one report; then the end report:
//   [1] = 0, [2..64] = 0xF6. Without multi-block macros: 210 reports.
// Key read:
//   out [2] = 0xF2; in: record blocks in any order, a macro's further blocks
//   directly after its first; r[0] = 0xF6 ends the read. Other replies are
//   skipped.
//
// Light area (312 bytes, red/green/blue per key in key order) write, no
// replies:
//   out [2] = 0xE1; six data reports [2] = 0xE0 [3] = n [4..n+3] area bytes
//   p..p+n-1 for p = 0, 61, .. 305 (n = 61 five times, then 7); end report
//   [1..64] = 0xE6. Eight reports.
// Light read:
//   out [2] = 0xE2; in: r[1] = 0xE0 r[2] = n r[3..n+2] the next n area bytes
//   (n <= 61); r[1] = 0xE6 ends.
// Press counters read (416 bytes, 104 counters of 32 bits, least significant
// byte first):
//   out [2] = 0xE3; in: r[1] = 0xE3 r[2] = n r[3..n+2] the next n bytes
//   (n <= 61); r[1] = 0xE6 ends.
//
// Firmware download, no replies: one report per line of an Intel HEX image,
//   [2] = 0x3A (':'), [3..64] the line's decoded bytes (at most 62).
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

// Key definition blocks.
constexpr std::size_t kBlockSize = 64;          // one record block: a report without its ID
constexpr std::size_t kMaxNormalCodes = 58;     // type 0: codes from offset 6
constexpr std::size_t kMaxContinousCodes = 56;  // type 1: codes from offset 8
constexpr std::size_t kMacroHeaderSize = 11;    // macro blocks: header before the payload piece
constexpr std::size_t kMacroPieceSize = 53;     // payload bytes per macro block
constexpr std::uint8_t kMacroStepMark = 0xC8;   // between a step's code and its delay
constexpr int kMaxMacroPayload = 0xFFFF;        // L travels in 16 bits

// Light and counter pieces: n at r[2] (out: [3]), the bytes after it.
constexpr std::size_t kAreaPieceSize = 61;

// Firmware lines.
constexpr std::size_t kFirmwareLineBytes = 62; // decoded bytes a line report carries
constexpr int kFirmwareProgressEnd = 150;      // progress value after the last line

} // namespace hwi::protocol
