#include "normalkeydefine.h"

#include "hwi/protocol.h"

using namespace hwi::protocol;

namespace {
constexpr int kBlock = static_cast<int>(kBlockSize);
constexpr int kCountAt = 5;
constexpr int kCodesAt = 6;
} // namespace

bool CNormalKeyDefine::encode(unsigned char* buffer, int reportSize, int* length) {
    if (!beginSingleBlock(buffer, reportSize, length))
        return false;
    const int n =
        usableCount(count, static_cast<int>(codes.size()), static_cast<int>(kMaxNormalCodes));
    buffer[kCountAt] = static_cast<unsigned char>(n);
    for (int i = 0; i < n; ++i)
        buffer[kCodesAt + i] = static_cast<unsigned char>(codes[static_cast<std::size_t>(i)]);
    return true;
}

bool CNormalKeyDefine::decode(const unsigned char* bytes, int reportSize, int totalLength) {
    if (!bytes || reportSize != kBlock || totalLength < kBlock)
        return false;
    // A count byte above what a block holds is cut to the block.
    count = usableCount(bytes[kCountAt], kBlock - kCodesAt, kBlock - kCodesAt);
    codes.assign(bytes + kCodesAt, bytes + kCodesAt + count);
    return true;
}
