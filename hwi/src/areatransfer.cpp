#include "areatransfer.h"

#include "link.h"

using namespace hwi::protocol;

namespace hwi {

bool writeLightArea(CKeyboardUtil& link, const std::uint8_t* area, std::size_t size) {
    if (!sendReport(link, reports::command(CMD_LIGHT_BEGIN)))
        return false;
    for (std::size_t position = 0; position < size; position += kAreaPieceSize)
        if (!sendReport(link, reports::lightData(area, size, position)))
            return false;
    return sendReport(link, reports::lightEnd());
}

bool readArea(CKeyboardUtil& link, std::uint8_t request, std::uint8_t pieceCode, std::uint8_t* area,
              std::size_t size) {
    if (!sendReport(link, reports::command(request)))
        return false;
    std::size_t position = 0;
    reports::Reply reply{};
    for (long replies = 0; replies < kMaxRepliesPerRead; ++replies) {
        if (!readReply(link, reply))
            return false;
        if (reply[1] == CMD_LIGHT_END)
            return true;
        if (reply[1] == pieceCode)
            reports::storePiece(reply, area, size, &position);
    }
    return false;
}

} // namespace hwi
