// Moving the light area and the press counters.
#pragma once

#include <cstddef>
#include <cstdint>

class CKeyboardUtil;

namespace hwi {

// Begin report, six data pieces, end report. False at the first failed write.
bool writeLightArea(CKeyboardUtil& link, const std::uint8_t* area, std::size_t size);

// Asks for the light area (command CMD_LIGHT_READ) or the counters
// (CMD_COUNTERS_READ) and stores the pieces that arrive, marked with
// pieceCode, into area one after another. True when the end marker arrived;
// false at the first failed write or read. Pieces received before a failure
// stay stored; nothing is stored beyond the area.
bool readArea(CKeyboardUtil& link, std::uint8_t request, std::uint8_t pieceCode, std::uint8_t* area,
              std::size_t size);

} // namespace hwi
