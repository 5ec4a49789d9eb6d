// The run form of the skin images: what the generator writes comes back pixel
// for pixel, in rows of any stride, and damaged bytes are refused without a
// write outside the image.
#include "SkinRuns.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

using Pixels = std::vector<std::uint32_t>;
using Bytes = std::vector<unsigned char>;

constexpr std::uint32_t kGuard = 0x5A5A5A5Au;
constexpr std::size_t kGuardPixels = 64;

struct Picture {
    const char* name;
    std::uint32_t width, height;
    std::uint32_t (*pixel)(std::uint32_t x, std::uint32_t y);
};

// Shapes that take each op, long counts, ops across rows and the edges.
const Picture kPictures[] = {
    {"one pixel", 1, 1, [](std::uint32_t, std::uint32_t) { return 0xFF123456u; }},
    {"flat, fills across rows", 1270, 672,
     [](std::uint32_t, std::uint32_t) { return 0xFF0000FFu; }},
    {"one column", 1, 300,
     [](std::uint32_t, std::uint32_t y) { return y / 7 % 2 ? 0xFFFFFFFFu : 0xFF000000u; }},
    {"one row of noise", 500, 1,
     [](std::uint32_t x, std::uint32_t) { return 0xFF000000u | (x * 2654435761u >> 8); }},
    {"noise, long literals", 131, 40,
     [](std::uint32_t x, std::uint32_t y) {
         return (x * 73856093u) ^ (y * 19349663u) ^ 0x9E3779B9u;
     }},
    {"vertical stripes, copies from above", 257, 90,
     [](std::uint32_t x, std::uint32_t) { return 0xFF000000u | (x % 5) * 0x00203040u; }},
    {"gradient with shapes", 300, 200,
     [](std::uint32_t x, std::uint32_t y) {
         if ((x - 150) * (x - 150) + (y - 100) * (y - 100) < 2500)
             return 0xFF2F8CFFu;
         if (x < 4 || y < 3)
             return 0xFF0000FFu;
         return 0xFF000000u | (y & 0xFF) << 16 | (y / 2 & 0xFF) << 8 | 0x20;
     }},
    {"alpha byte not kept", 20, 3,
     [](std::uint32_t x, std::uint32_t y) { return (x + y) % 3 ? 0x00112233u : 0x80445566u; }},
};

Pixels draw(const Picture& p, std::size_t stride) {
    Pixels px(stride * p.height, 0xDEADBEEFu);
    for (std::uint32_t y = 0; y < p.height; ++y)
        for (std::uint32_t x = 0; x < p.width; ++x)
            px[y * stride + x] = p.pixel(x, y);
    return px;
}

// Decodes into rows `stride` apart, with guard pixels after the last row and
// between rows; true when the guards are untouched.
struct Target {
    std::uint32_t width, height;
    std::size_t stride;
    Pixels buffer;

    Target(std::uint32_t w, std::uint32_t h, std::size_t s)
        : width(w), height(h), stride(s), buffer(s * h + kGuardPixels, kGuard) {}
    bool decode(const Bytes& bytes) {
        return skinruns::decode(bytes.data(), bytes.size(), buffer.data(), stride);
    }
    bool guardsIntact() const {
        for (std::size_t i = 0; i < buffer.size(); ++i) {
            const bool inImage = i < stride * height && i % stride < width;
            if (!inImage && buffer[i] != kGuard)
                return false;
        }
        return true;
    }
    std::uint32_t at(std::uint32_t x, std::uint32_t y) const { return buffer[y * stride + x]; }
};

void put32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

Bytes header(std::uint32_t w, std::uint32_t h) {
    Bytes b = {'V', 'C', 'R', '1'};
    put32(b, w);
    put32(b, h);
    return b;
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(SkinRuns, EveryPictureComesBackPixelForPixelInRowsOfAnyStride) {
    for (const Picture& p : kPictures)
        for (std::size_t extra : {0, 3}) {
            SCOPED_TRACE(std::string(p.name) + " stride +" + std::to_string(extra));
            const std::size_t stride = p.width + extra;
            const Pixels source = draw(p, stride);
            const Bytes bytes = skinruns::encode(source.data(), p.width, p.height, stride);
            skinruns::Size size;
            ASSERT_TRUE(skinruns::readSize(bytes.data(), bytes.size(), size));
            EXPECT_EQ(size.width, p.width);
            EXPECT_EQ(size.height, p.height);
            // Decoded into rows of another stride than they were read from.
            Target t(p.width, p.height, p.width + 5 - extra);
            ASSERT_TRUE(t.decode(bytes));
            EXPECT_TRUE(t.guardsIntact());
            int wrong = 0;
            for (std::uint32_t y = 0; y < p.height; ++y)
                for (std::uint32_t x = 0; x < p.width; ++x)
                    wrong += t.at(x, y) != (p.pixel(x, y) | 0xFF000000u);
            EXPECT_EQ(wrong, 0);
        }
}

TEST(SkinRuns, FlatAndRepeatedAreasCostAFewBytes) {
    const Pixels flat(1270 * 672, 0xFF1D2026u);
    EXPECT_LE(skinruns::encode(flat.data(), 1270, 672, 1270).size(), skinruns::kHeaderSize + 8);
    // Rows repeating the first: one literal row, then a single copy op (each
    // tag with a count number of at most three bytes).
    const Picture& stripes = kPictures[5];
    const Pixels px = draw(stripes, stripes.width);
    EXPECT_LE(skinruns::encode(px.data(), stripes.width, stripes.height, stripes.width).size(),
              skinruns::kHeaderSize + 3 + 3 * stripes.width + 4);
}

TEST(SkinRuns, DamagedBytesAreRefusedWithoutAWriteOutsideTheImage) {
    const Bytes fill4 = {0x43, 1, 2, 3}; // fill 4 pixels
    const struct {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"no bytes", {}},
        {"header cut short", Bytes{'V', 'C', 'R', '1', 2, 0, 0, 0, 2, 0, 0}},
        {"another magic", Bytes{'V', 'C', 'R', '2', 2, 0, 0, 0, 2, 0, 0, 0} + fill4},
        {"a PNG", Bytes{0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0, 13}},
        {"width 0", header(0, 2) + fill4},
        {"height 0", header(2, 0) + fill4},
        {"wider than any window", header(skinruns::kMaxSide + 1, 1) + fill4},
        {"a huge size", header(0xFFFFFFFFu, 0xFFFFFFFFu) + fill4},
        {"no ops", header(2, 2)},
        {"too few pixels", header(2, 2) + Bytes{0x42, 1, 2, 3}},
        {"a fill past the last pixel", header(2, 2) + Bytes{0x44, 1, 2, 3}},
        {"a fill without its pixel", header(2, 2) + Bytes{0x43, 1, 2}},
        {"a literal past the data", header(2, 2) + Bytes{0x03, 1, 2, 3, 4, 5, 6}},
        {"a copy from above in the first row", header(2, 2) + Bytes{0x81, 0x41, 1, 2, 3}},
        {"a copy from above across the first row", header(2, 2) + Bytes{0x40, 1, 2, 3, 0x82}},
        {"the unknown op", header(2, 2) + Bytes{0xC3}},
        {"a long count past the last pixel", header(2, 2) + Bytes{0x7F, 0x00, 1, 2, 3}},
        {"a long count without its number", header(100, 100) + Bytes{0x7F}},
        {"a count number of six bytes",
         header(100, 100) + Bytes{0x7F, 0x80, 0x80, 0x80, 0x80, 0x80, 0x00, 1, 2, 3}},
        {"bytes left over", header(2, 2) + fill4 + Bytes{0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Target t(2, 2, 3);
        EXPECT_FALSE(t.decode(c.bytes));
        EXPECT_TRUE(t.guardsIntact());
    }
    // The same ops whole are read, so that each case fails for its fault.
    Target t(2, 2, 2);
    EXPECT_TRUE(t.decode(header(2, 2) + fill4));
    EXPECT_TRUE(t.decode(header(2, 2) + Bytes{0x41, 1, 2, 3, 0x81}));
    EXPECT_TRUE(t.decode(header(2, 2) + Bytes{0x41, 1, 2, 3, 0x80, 0x00, 4, 5, 6}));
    EXPECT_EQ(t.at(1, 1), 0xFF040506u);
    // A stride narrower than the image is refused before anything is written.
    Target narrow(2, 2, 1);
    EXPECT_FALSE(narrow.decode(header(2, 2) + fill4));
    EXPECT_EQ(narrow.buffer[0], kGuard);
}

// Every cut and random byte changes of a real picture: refused or decoded,
// never a write outside the image.
TEST(SkinRuns, CutAndChangedBytesNeverWriteOutsideTheImage) {
    const Picture& p = kPictures[6];
    const Pixels source = draw(p, p.width);
    const Bytes bytes = skinruns::encode(source.data(), p.width, p.height, p.width);
    for (std::size_t n = 0; n < bytes.size(); n += n < 64 ? 1 : 97) {
        Target t(p.width, p.height, p.width + 1);
        EXPECT_FALSE(t.decode(Bytes(bytes.begin(), bytes.begin() + n))) << n;
        ASSERT_TRUE(t.guardsIntact()) << n;
    }
    std::mt19937 random(20261211);
    for (int round = 0; round < 300; ++round) {
        Bytes changed = bytes;
        for (int k = 0; k < 4; ++k) {
            // Mostly the ops; now and then the header.
            const std::size_t at =
                round % 10 == 0 ? random() % skinruns::kHeaderSize : random() % changed.size();
            changed[at] = static_cast<unsigned char>(random());
        }
        Target t(p.width, p.height, p.width + 1);
        skinruns::Size size;
        if (skinruns::readSize(changed.data(), changed.size(), size) &&
            (size.width != p.width || size.height != p.height))
            continue; // another size: the caller allocates by the header
        t.decode(changed);
        ASSERT_TRUE(t.guardsIntact()) << round;
    }
}

} // namespace
