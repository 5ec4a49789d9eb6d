#include "continouskeydefine.h"

#include "hwi/protocol.h"

using namespace hwi::protocol;

namespace {
constexpr int kBlock = static_cast<int>(kBlockSize);
constexpr int kDelayAt = 5;
constexpr int kCountAt = 7;
constexpr int kCodesAt = 8;
} // namespace

bool CContinousKeyDefine::encode(unsigned char* buffer, int reportSize, int* length) {
    if (!beginSingleBlock(buffer, reportSize, length))
        return false;
    const int n =
        usableCount(count, static_cast<int>(codes.size()), static_cast<int>(kMaxContinousCodes));
    if (n <= 0)
        return false;
    buffer[kDelayAt] = static_cast<unsigned char>(delay >> 8);
    buffer[kDelayAt + 1] = static_cast<unsigned char>(delay);
    buffer[kCountAt] = static_cast<unsigned char>(n);
    for (int i = 0; i < n; ++i)
        buffer[kCodesAt + i] = static_cast<unsigned char>(codes[static_cast<std::size_t>(i)]);
    return true;
}

bool CContinousKeyDefine::decode(const unsigned char* bytes, int reportSize, int totalLength) {
    if (!bytes || reportSize != kBlock || totalLength < kBlock)
        return false;
    delay = bytes[kDelayAt] * 256 + bytes[kDelayAt + 1];
    count = usableCount(bytes[kCountAt], kBlock - kCodesAt, kBlock - kCodesAt);
    codes.assign(bytes + kCodesAt, bytes + kCodesAt + count);
    return true;
}
