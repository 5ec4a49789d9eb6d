#include "reports.h"

#include <algorithm>
#include <cstring>

namespace hwi::reports {

using namespace protocol;

Report command(std::uint8_t code) {
    Report report{};
    report[kCommandByte] = code;
    return report;
}

Report fromBlock(const std::uint8_t* block) {
    Report report{};
    std::memcpy(report.data() + 1, block, kBlockSize);
    return report;
}

Report emptySlot(int layer, int key) {
    Report report = command(CMD_KEY_RECORD);
    report[3] = static_cast<std::uint8_t>(layer);
    report[4] = static_cast<std::uint8_t>(key);
    return report;
}

Report keysEnd() {
    Report report{};
    std::fill(report.begin() + kCommandByte, report.end(), CMD_KEYS_END);
    return report;
}

Report lightData(const std::uint8_t* area, std::size_t areaSize, std::size_t position) {
    Report report = command(CMD_LIGHT_DATA);
    const std::size_t n = position < areaSize ? std::min(kAreaPieceSize, areaSize - position) : 0;
    report[3] = static_cast<std::uint8_t>(n);
    std::memcpy(report.data() + 4, area + position, n);
    return report;
}

Report lightEnd() {
    Report report{};
    std::fill(report.begin() + 1, report.end(), CMD_LIGHT_END);
    return report;
}

Report firmwareLine(const std::uint8_t* bytes, std::size_t count) {
    Report report = command(CMD_FIRMWARE_LINE);
    std::memcpy(report.data() + 3, bytes, std::min(count, kFirmwareLineBytes));
    return report;
}

void storePiece(const Reply& reply, std::uint8_t* area, std::size_t areaSize,
                std::size_t* position) {
    const std::size_t n = std::min<std::size_t>(reply[2], kAreaPieceSize);
    if (*position < areaSize)
        std::memcpy(area + *position, reply.data() + 3, std::min(n, areaSize - *position));
    *position = std::min(*position + n, areaSize);
}

} // namespace hwi::reports
