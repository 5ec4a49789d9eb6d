// Key definition records: their blocks byte for byte, and back.
#include "continouskeydefine.h"
#include "macrokeydefine.h"
#include "normalkeydefine.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

std::vector<int> sequence(int n, int first = 0x10) {
    std::vector<int> codes;
    for (int i = 0; i < n; ++i)
        codes.push_back((first + i) & 0xFF);
    return codes;
}

std::unique_ptr<CKeyDefine> normal(int layer, int key, std::vector<int> codes) {
    auto r = std::make_unique<CNormalKeyDefine>(key, layer);
    r->count = static_cast<int>(codes.size());
    r->codes = std::move(codes);
    return r;
}

std::unique_ptr<CKeyDefine> continous(int layer, int key, int delay, std::vector<int> codes) {
    auto r = std::make_unique<CContinousKeyDefine>(key, layer);
    r->delay = delay;
    r->count = static_cast<int>(codes.size());
    r->codes = std::move(codes);
    return r;
}

std::unique_ptr<CMacroKeyDefine> macro(int type, int cycles, int stepDelays, int delay,
                                       std::vector<int> codes, std::vector<int> delays = {}) {
    auto r = std::make_unique<CMacroKeyDefine>(7, 1);
    r->type = type;
    r->cycles = cycles;
    r->stepDelays = stepDelays;
    r->delay = delay;
    r->count = static_cast<int>(codes.size());
    r->codes = std::move(codes);
    delays.resize(r->codes.size(), 0);
    r->delays = std::move(delays);
    return r;
}

// The whole encoded form, through the length query as the writer uses it.
Bytes encodeAll(CKeyDefine& record) {
    int length = -1;
    EXPECT_FALSE(record.encode(nullptr, 64, &length));
    Bytes bytes(static_cast<std::size_t>(length), 0xEE);
    if (length > 0)
        record.encode(bytes.data(), 64, &length);
    return bytes;
}

Bytes block(std::initializer_list<unsigned char> head, std::size_t size = 64) {
    Bytes bytes(size, 0);
    std::copy(head.begin(), head.end(), bytes.begin());
    return bytes;
}

struct ImageCase {
    const char* name;
    std::function<std::unique_ptr<CKeyDefine>()> make;
    std::function<Bytes()> expected;
};

TEST(Records, EncodeGivesTheExactBlocks) {
    const std::vector<ImageCase> cases = {
        {"one code", [] { return normal(2, 5, {0x41}); },
         [] {
             return block({0, 0xF0, 2, 5, 0, 1, 0x41});
         }},
        {"combination, codes keep their low byte",
         [] {
             return normal(1, 104, {0x1E0, 0x04});
         },
         [] {
             return block({0, 0xF0, 1, 104, 0, 2, 0xE0, 0x04});
         }},
        {"no codes", [] { return normal(1, 1, {}); },
         [] {
             return block({0, 0xF0, 1, 1, 0});
         }},
        {"delayed codes",
         [] {
             return continous(1, 9, 300, {0x04, 0x05});
         },
         [] {
             return block({0, 0xF0, 1, 9, 1, 0x01, 0x2C, 2, 0x04, 0x05});
         }},
        {"delayed without codes", [] { return continous(2, 9, 300, {}); },
         [] {
             return block({0, 0xF0, 2, 9, 1});
         }},
        {"macro mode 1 plain",
         [] {
             return macro(3, 5, 0, 30, {0x0A, 0x0B});
         },
         [] {
             return block({0, 0xF0, 1, 7, 3, 5, 0, 0x00, 0x1E, 0x00, 0x02, 0x0A, 0x0B});
         }},
        {"macro with step delays",
         [] {
             return macro(2, 1, 1, 0, {0xA0, 0xA1, 0xA2}, {100, 50, 999});
         },
         [] {
             return block({0, 0xF0, 1,    7,    2,    1,    1,    0,    0,    0,
                           9, 0xA0, 0xC8, 0x00, 0x64, 0xA1, 0xC8, 0x00, 0x32, 0xA2});
         }},
        {"macro of 53 codes fills one block", [] { return macro(4, 2, 0, 0, sequence(53)); },
         [] {
             Bytes b = block({0, 0xF0, 1, 7, 4, 2, 0, 0, 0, 0, 53});
             const auto codes = sequence(53);
             std::copy(codes.begin(), codes.end(), b.begin() + 11);
             return b;
         }},
        {"macro of 54 codes takes a second block with the same header",
         [] { return macro(2, 1, 0, 0, sequence(54)); },
         [] {
             Bytes b(128, 0);
             const auto codes = sequence(54);
             for (int j = 0; j < 2; ++j) {
                 const Bytes head = block({0, 0xF0, 1, 7, 2, 1, 0, 0, 0, 0, 54}, 11);
                 std::copy(head.begin(), head.end(), b.begin() + 64 * j);
             }
             std::copy(codes.begin(), codes.begin() + 53, b.begin() + 11);
             b[64 + 11] = static_cast<unsigned char>(codes[53]);
             return b;
         }},
    };
    for (const auto& c : cases) {
        auto record = c.make();
        EXPECT_EQ(encodeAll(*record), c.expected()) << c.name;
    }
}

TEST(Records, MacroBlockCountFollowsThePayloadLength) {
    const struct {
        int steps;
        int stepDelays;
        int payload;
        std::size_t blocks;
    } cases[] = {{1, 0, 1, 1}, {53, 0, 53, 1}, {54, 0, 54, 2}, {106, 0, 106, 2}, {107, 0, 107, 3},
                 {1, 1, 1, 1}, {14, 1, 53, 1}, {15, 1, 57, 2}, {200, 1, 797, 16}};
    for (const auto& c : cases) {
        auto record = macro(2, 1, c.stepDelays, 0, sequence(c.steps));
        EXPECT_EQ(record->payloadLength(), c.payload) << c.steps;
        const Bytes bytes = encodeAll(*record);
        ASSERT_EQ(bytes.size(), 64 * c.blocks) << c.steps;
        for (std::size_t j = 0; j < c.blocks; ++j) {
            EXPECT_EQ(bytes[64 * j + 9] * 256 + bytes[64 * j + 10], c.payload);
            EXPECT_EQ(bytes[64 * j + 1], 0xF0);
        }
    }
}

TEST(Records, DecodeGivesBackTheMembers) {
    {
        auto original = normal(2, 5, sequence(58));
        const Bytes bytes = encodeAll(*original);
        CNormalKeyDefine back(5, 2);
        ASSERT_TRUE(back.decode(bytes.data(), 64, 64));
        EXPECT_EQ(back.count, 58);
        EXPECT_EQ(back.codes, sequence(58));
    }
    {
        auto original = continous(1, 3, 0xBEEF, sequence(56));
        const Bytes bytes = encodeAll(*original);
        CContinousKeyDefine back(3, 1);
        ASSERT_TRUE(back.decode(bytes.data(), 64, 64));
        EXPECT_EQ(back.delay, 0xBEEF);
        EXPECT_EQ(back.codes, sequence(56));
    }
    const struct {
        int steps;
        int stepDelays;
    } macros[] = {{3, 0}, {54, 0}, {300, 0}, {3, 1}, {14, 1}, {15, 1}, {100, 1}};
    for (const auto& m : macros) {
        std::vector<int> delays;
        for (int i = 0; i < m.steps; ++i)
            delays.push_back(i * 257 % 65536);
        auto original = macro(4, 9, m.stepDelays, 1234, sequence(m.steps), delays);
        const Bytes bytes = encodeAll(*original);
        CMacroKeyDefine back(7, 1);
        back.codes = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}; // replaced, not appended to
        ASSERT_TRUE(back.decode(bytes.data(), 64, static_cast<int>(bytes.size())));
        EXPECT_EQ(back.cycles, 9);
        EXPECT_EQ(back.stepDelays, m.stepDelays);
        EXPECT_EQ(back.delay, 1234);
        EXPECT_EQ(back.count, m.steps);
        EXPECT_EQ(back.codes, sequence(m.steps));
        std::vector<int> expectedDelays(static_cast<std::size_t>(m.steps), 0);
        if (m.stepDelays)
            std::copy(delays.begin(), delays.end() - 1,
                      expectedDelays.begin()); // the last one does not travel
        EXPECT_EQ(back.delays, expectedDelays) << m.steps;
    }
}

TEST(Records, WireLimitsAreKeptWhateverTheMembersSay) {
    // More codes than a block holds, or a count beyond the array: only what
    // fits and exists is written, and the count byte says so.
    auto many = normal(1, 1, sequence(80));
    Bytes bytes = encodeAll(*many);
    ASSERT_EQ(bytes.size(), 64u);
    EXPECT_EQ(bytes[5], 58);
    auto* lying = static_cast<CNormalKeyDefine*>(many.get());
    lying->codes.resize(3);
    EXPECT_EQ(encodeAll(*many)[5], 3);

    auto delayed = continous(1, 1, 0, sequence(70));
    EXPECT_EQ(encodeAll(*delayed)[7], 56);

    // A buffer shorter than the encoded length is left alone.
    auto twoBlocks = macro(2, 1, 0, 0, sequence(60));
    Bytes small(64, 0xEE);
    int length = 64;
    EXPECT_FALSE(twoBlocks->encode(small.data(), 64, &length));
    EXPECT_EQ(small, Bytes(64, 0xEE));
    EXPECT_FALSE(normal(1, 1, {1})->encode(small.data(), 64, &(length = 63)));
    EXPECT_EQ(small, Bytes(64, 0xEE));
}

TEST(Records, MacroWithoutStepsEncodesToNothingAndWritesNothing) {
    for (int stepDelays : {0, 1}) {
        auto empty = macro(2, 1, stepDelays, 0, {});
        int length = -1;
        EXPECT_FALSE(empty->encode(nullptr, 64, &length));
        EXPECT_EQ(length, 0);
        Bytes untouched(64, 0xEE);
        length = 64;
        EXPECT_FALSE(empty->encode(untouched.data(), 64, &length));
        EXPECT_EQ(untouched, Bytes(64, 0xEE));
    }
}

TEST(Records, DecodeNeverReadsBeyondWhatArrived) {
    // Count bytes and payload lengths that name more than the blocks hold.
    Bytes one = block({0, 0xF0, 1, 1, 0, 0xFF});
    std::fill(one.begin() + 6, one.end(), 0x33);
    CNormalKeyDefine normalBack(1, 1);
    ASSERT_TRUE(normalBack.decode(one.data(), 64, 64));
    EXPECT_EQ(normalBack.count, 58);

    Bytes delayed = block({0, 0xF0, 1, 1, 1, 0, 0, 0xFF});
    CContinousKeyDefine delayedBack(1, 1);
    ASSERT_TRUE(delayedBack.decode(delayed.data(), 64, 64));
    EXPECT_EQ(delayedBack.count, 56);

    const struct {
        unsigned char stepDelays;
        int count;
    } cases[] = {{0, 53}, {1, 14}};
    for (const auto& c : cases) {
        Bytes head =
            block({0, 0xF0, 1, 1, 2, 1, c.stepDelays, 0, 0, 0xFF, 0xFF}); // L = 65535, one block
        CMacroKeyDefine macroBack(1, 1);
        ASSERT_TRUE(macroBack.decode(head.data(), 64, 64));
        EXPECT_EQ(macroBack.count, c.count);
        EXPECT_EQ(macroBack.codes.size(), static_cast<std::size_t>(c.count));
    }

    CMacroKeyDefine shortBack(1, 1);
    EXPECT_FALSE(shortBack.decode(one.data(), 64, 63));
    EXPECT_FALSE(shortBack.decode(nullptr, 64, 64));
}

} // namespace
