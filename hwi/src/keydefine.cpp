#include "keydefine.h"

#include "hwi/protocol.h"

#include <algorithm>
#include <cstring>

void CKeyDefine::writeHead(unsigned char* block) const {
    block[0] = 0;
    block[1] = hwi::protocol::CMD_KEY_RECORD;
    block[2] = static_cast<unsigned char>(layer);
    block[3] = static_cast<unsigned char>(key);
    block[4] = static_cast<unsigned char>(type);
}

bool CKeyDefine::beginSingleBlock(unsigned char* buffer, int reportSize, int* length) const {
    constexpr int kBlock = static_cast<int>(hwi::protocol::kBlockSize);
    if (!length)
        return false;
    if (reportSize != kBlock) {
        *length = 0;
        return false;
    }
    if (!buffer) {
        *length = kBlock;
        return false;
    }
    if (*length < kBlock)
        return false;
    std::memset(buffer, 0, static_cast<std::size_t>(*length));
    writeHead(buffer);
    *length = kBlock;
    return true;
}

int usableCount(int count, int available, int limit) {
    return std::clamp(count, 0, std::min(available, limit));
}
