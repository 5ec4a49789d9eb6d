// The output reports of the transfers, byte for byte (formats in
// hwi/protocol.h). Pure byte work: no I/O, no device state.
#pragma once

#include "hwi/protocol.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace hwi::reports {

using Report = std::array<std::uint8_t, protocol::kReportSize>; // [0] report ID
using Reply = std::array<std::uint8_t, protocol::kReplySize>;   // r[0]..r[63]

// [2] = code, everything else 0.
Report command(std::uint8_t code);
// Block bytes (64) as bytes 1..64 after report ID 0.
Report fromBlock(const std::uint8_t* block);
// A type 0 block without codes for layer 1..2 and key 1..104.
Report emptySlot(int layer, int key);
// [1] = 0, [2..64] = 0xF6.
Report keysEnd();
// Light data piece: [2] = 0xE0, [3] = n, [4..] light bytes p..p+n-1.
Report lightData(const std::uint8_t* area, std::size_t areaSize, std::size_t position);
// [1..64] = 0xE6.
Report lightEnd();
// [2] = ':', [3..] the line's decoded bytes (at most 62 are carried).
Report firmwareLine(const std::uint8_t* bytes, std::size_t count);

// Stores the piece a light or counter reply carries (n at r[2], bytes from
// r[3]) into an area at *position and advances it. n is cut to the 61 bytes a
// reply holds; nothing is stored beyond the area.
void storePiece(const Reply& reply, std::uint8_t* area, std::size_t areaSize,
                std::size_t* position);

} // namespace hwi::reports
