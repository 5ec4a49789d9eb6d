#include "macrokeydefine.h"

#include "hwi/protocol.h"

#include <algorithm>
#include <cstring>

using namespace hwi::protocol;

namespace {
constexpr int kBlock = static_cast<int>(kBlockSize);
constexpr int kHeader = static_cast<int>(kMacroHeaderSize);
constexpr int kPiece = static_cast<int>(kMacroPieceSize);
constexpr int kCyclesAt = 5;
constexpr int kStepDelaysAt = 6;
constexpr int kDelayAt = 7;
constexpr int kLengthAt = 9;
// Steps that fit the 16-bit payload length in each layout.
constexpr int kMaxPlainSteps = kMaxMacroPayload;
constexpr int kMaxTimedSteps = (kMaxMacroPayload + 3) / 4;
} // namespace

// The decoder reads any non-zero byte 6 as the timed layout; the encoder
// follows the byte that travels.
bool CMacroKeyDefine::withStepDelays() const {
    return (stepDelays & 0xFF) != 0;
}

int CMacroKeyDefine::stepsCarried() const {
    return usableCount(count, static_cast<int>(codes.size()),
                       withStepDelays() ? kMaxTimedSteps : kMaxPlainSteps);
}

int CMacroKeyDefine::payloadLength() const {
    const int n = stepsCarried();
    if (n <= 0)
        return 0;
    return withStepDelays() ? 4 * n - 3 : n;
}

bool CMacroKeyDefine::encode(unsigned char* buffer, int reportSize, int* length) {
    if (!length)
        return false;
    if (reportSize != kBlock) {
        *length = 0;
        return false;
    }
    const int payload = payloadLength();
    const int blocks = (payload + kPiece - 1) / kPiece;
    const int encoded = blocks * kBlock;
    if (!buffer) {
        *length = encoded;
        return false;
    }
    if (encoded == 0 || *length < encoded)
        return false;

    std::vector<unsigned char> bytes;
    bytes.reserve(static_cast<std::size_t>(payload));
    const int n = stepsCarried();
    for (int i = 0; i < n; ++i) {
        bytes.push_back(static_cast<unsigned char>(codes[static_cast<std::size_t>(i)]));
        if (withStepDelays() && i + 1 < n) {
            const int after = static_cast<std::size_t>(i) < delays.size()
                                  ? delays[static_cast<std::size_t>(i)]
                                  : 0;
            bytes.push_back(kMacroStepMark);
            bytes.push_back(static_cast<unsigned char>(after >> 8));
            bytes.push_back(static_cast<unsigned char>(after));
        }
    }

    std::memset(buffer, 0, static_cast<std::size_t>(encoded));
    for (int j = 0; j < blocks; ++j) {
        unsigned char* block = buffer + j * kBlock;
        writeHead(block);
        block[kCyclesAt] = static_cast<unsigned char>(cycles);
        block[kStepDelaysAt] = static_cast<unsigned char>(stepDelays);
        block[kDelayAt] = static_cast<unsigned char>(delay >> 8);
        block[kDelayAt + 1] = static_cast<unsigned char>(delay);
        block[kLengthAt] = static_cast<unsigned char>(payload >> 8);
        block[kLengthAt + 1] = static_cast<unsigned char>(payload);
        const int from = j * kPiece;
        const int piece = std::min(kPiece, payload - from);
        std::memcpy(block + kHeader, bytes.data() + from, static_cast<std::size_t>(piece));
    }
    *length = encoded;
    return true;
}

bool CMacroKeyDefine::decode(const unsigned char* bytes, int reportSize, int totalLength) {
    if (!bytes || reportSize != kBlock || totalLength < kBlock)
        return false;
    cycles = bytes[kCyclesAt];
    stepDelays = bytes[kStepDelaysAt];
    delay = bytes[kDelayAt] * 256 + bytes[kDelayAt + 1];
    const int length = bytes[kLengthAt] * 256 + bytes[kLengthAt + 1];

    const int blocks = totalLength / kBlock;
    std::vector<unsigned char> payload;
    payload.reserve(static_cast<std::size_t>(blocks * kPiece));
    for (int j = 0; j < blocks; ++j)
        payload.insert(payload.end(), bytes + j * kBlock + kHeader, bytes + (j + 1) * kBlock);
    const int available = std::min(length, static_cast<int>(payload.size()));

    if (stepDelays != 0) {
        count = available > 0 ? (available - 1) / 4 + 1 : 0;
        codes.assign(static_cast<std::size_t>(count), 0);
        delays.assign(static_cast<std::size_t>(count), 0);
        for (int i = 0; i < count; ++i) {
            codes[static_cast<std::size_t>(i)] = payload[static_cast<std::size_t>(4 * i)];
            if (i + 1 < count)
                delays[static_cast<std::size_t>(i)] =
                    payload[static_cast<std::size_t>(4 * i + 2)] * 256 +
                    payload[static_cast<std::size_t>(4 * i + 3)];
        }
    } else {
        count = available;
        codes.assign(payload.begin(), payload.begin() + count);
        delays.assign(static_cast<std::size_t>(count), 0);
    }
    return true;
}
