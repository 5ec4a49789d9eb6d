#include "SkinRuns.h"

#include <algorithm>
#include <cstring>

namespace skinruns {

namespace {

constexpr unsigned char kMagic[4] = {'V', 'C', 'R', '1'};

enum Op : unsigned { kLiteral = 0, kFill = 1, kAbove = 2 };

constexpr unsigned kShortCounts = 63; // counts 1..63 fit the tag
constexpr std::uint32_t kOpaque = 0xFF000000u;

std::uint32_t readU32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

void writeU32(std::vector<unsigned char>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

std::uint32_t readPixel(const unsigned char* p) {
    return kOpaque | std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2];
}

void writePixel(std::vector<unsigned char>& out, std::uint32_t px) {
    out.push_back(static_cast<unsigned char>(px >> 16));
    out.push_back(static_cast<unsigned char>(px >> 8));
    out.push_back(static_cast<unsigned char>(px));
}

void writeTag(std::vector<unsigned char>& out, Op op, std::size_t count) {
    if (count <= kShortCounts) {
        out.push_back(static_cast<unsigned char>(op << 6 | (count - 1)));
        return;
    }
    out.push_back(static_cast<unsigned char>(op << 6 | kShortCounts));
    std::size_t rest = count - kShortCounts - 1;
    do {
        const auto low = static_cast<unsigned char>(rest & 0x7F);
        rest >>= 7;
        out.push_back(rest ? static_cast<unsigned char>(low | 0x80) : low);
    } while (rest);
}

// Where the decoder writes: walks the rows, an op at a time, in chunks that
// end at a row's end.
struct Cursor {
    std::uint32_t* out;
    std::size_t stride;
    std::uint32_t width;
    std::uint64_t left; // pixels still to come
    std::size_t row = 0;
    std::uint32_t x = 0;

    std::uint32_t* here() const { return out + row * stride + x; }
    std::uint32_t chunk(std::uint64_t n) const {
        return static_cast<std::uint32_t>(std::min<std::uint64_t>(n, width - x));
    }
    void advance(std::uint32_t n) {
        x += n;
        left -= n;
        if (x == width) {
            x = 0;
            ++row;
        }
    }
};

// A count longer than the tag holds: 64 plus the LEB128 number at p. At most
// 5 number bytes, so that no count can exceed an image's pixels.
bool readLongCount(const unsigned char*& p, const unsigned char* end, std::uint64_t& n) {
    std::uint64_t rest = 0;
    for (int shift = 0;; shift += 7) {
        if (p == end || shift > 28)
            return false;
        const unsigned char b = *p++;
        rest |= std::uint64_t(b & 0x7F) << shift;
        if (!(b & 0x80))
            break;
    }
    n += rest;
    return true;
}

} // namespace

bool readSize(const unsigned char* data, std::size_t size, Size& out) {
    if (!data || size < kHeaderSize || std::memcmp(data, kMagic, sizeof kMagic) != 0)
        return false;
    const std::uint32_t w = readU32(data + 4), h = readU32(data + 8);
    if (w == 0 || h == 0 || w > kMaxSide || h > kMaxSide)
        return false;
    out = {w, h};
    return true;
}

std::vector<unsigned char> encode(const std::uint32_t* pixels, std::uint32_t width,
                                  std::uint32_t height, std::size_t stride) {
    // One contiguous run of opaque pixels, so that ops cross rows freely.
    const std::size_t count = std::size_t(width) * height;
    std::vector<std::uint32_t> px(count);
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x)
            px[std::size_t(y) * width + x] = pixels[y * stride + x] | kOpaque;

    std::vector<unsigned char> out(kMagic, kMagic + sizeof kMagic);
    writeU32(out, width);
    writeU32(out, height);
    std::size_t literalFrom = 0, literalCount = 0;
    const auto flushLiteral = [&] {
        if (literalCount == 0)
            return;
        writeTag(out, kLiteral, literalCount);
        for (std::size_t i = literalFrom; i < literalFrom + literalCount; ++i)
            writePixel(out, px[i]);
        literalCount = 0;
    };
    // Greedy: the longer of the copy from above and the fill, once either
    // saves bytes over going on with the literal; every scan is paid for by
    // the pixels it consumes.
    for (std::size_t i = 0; i < count;) {
        std::size_t above = 0;
        if (i >= width)
            while (i + above < count && px[i + above] == px[i + above - width])
                ++above;
        std::size_t fill = 1;
        while (i + fill < count && px[i + fill] == px[i])
            ++fill;
        if (above >= 2 && above >= fill) {
            flushLiteral();
            writeTag(out, kAbove, above);
            i += above;
        } else if (fill >= 3) {
            flushLiteral();
            writeTag(out, kFill, fill);
            writePixel(out, px[i]);
            i += fill;
        } else {
            if (literalCount == 0)
                literalFrom = i;
            ++literalCount;
            ++i;
        }
    }
    flushLiteral();
    return out;
}

bool decode(const unsigned char* data, std::size_t size, std::uint32_t* out, std::size_t stride) {
    Size s;
    if (!readSize(data, size, s) || !out || stride < s.width)
        return false;
    const unsigned char* p = data + kHeaderSize;
    const unsigned char* const end = data + size;
    Cursor at{out, stride, s.width, std::uint64_t(s.width) * s.height};
    while (at.left > 0) {
        if (p == end)
            return false;
        const unsigned tag = *p++;
        std::uint64_t n = (tag & kShortCounts) + 1;
        if ((tag & kShortCounts) == kShortCounts && !readLongCount(p, end, n))
            return false;
        if (n > at.left)
            return false;
        switch (tag >> 6) {
        case kLiteral:
            if (3 * n > std::uint64_t(end - p))
                return false;
            while (n > 0) {
                const std::uint32_t c = at.chunk(n);
                std::uint32_t* to = at.here();
                for (std::uint32_t i = 0; i < c; ++i, p += 3)
                    to[i] = readPixel(p);
                at.advance(c);
                n -= c;
            }
            break;
        case kFill: {
            if (end - p < 3)
                return false;
            const std::uint32_t px = readPixel(p);
            p += 3;
            while (n > 0) {
                const std::uint32_t c = at.chunk(n);
                std::fill_n(at.here(), c, px);
                at.advance(c);
                n -= c;
            }
            break;
        }
        case kAbove:
            if (at.row == 0)
                return false; // the first row has nothing above it
            while (n > 0) {
                const std::uint32_t c = at.chunk(n);
                std::uint32_t* to = at.here();
                std::memcpy(to, to - stride, c * sizeof(std::uint32_t));
                at.advance(c);
                n -= c;
            }
            break;
        default:
            return false;
        }
    }
    return p == end;
}

} // namespace skinruns
