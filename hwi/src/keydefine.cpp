#include "keydefine.h"

#include "hwi/protocol.h"

#include <algorithm>

void CKeyDefine::writeHead(unsigned char* block) const {
    block[0] = 0;
    block[1] = hwi::protocol::CMD_KEY_RECORD;
    block[2] = static_cast<unsigned char>(layer);
    block[3] = static_cast<unsigned char>(key);
    block[4] = static_cast<unsigned char>(type);
}

int usableCount(int count, int available, int limit) {
    return std::clamp(count, 0, std::min(available, limit));
}
