// The light area written and read, the press counters read.
#include "open_keyboard.h"

#include <chrono>

using hwi_test::Bytes;
using hwi_test::OpenKeyboard;
using hwi_test::payloadOf;
using hwi_test::reply;

namespace {

std::vector<int> colours() {
    std::vector<int> values(312);
    for (int i = 0; i < 312; ++i)
        values[static_cast<std::size_t>(i)] = (i * 7 + 3) & 0xFF;
    return values;
}

// Answers a request code with replies; r[1..] given, r[0] = 0.
void answer(OpenKeyboard& kb, std::uint8_t request, std::vector<Bytes> replies) {
    kb.device->setResponder(
        [request, replies](const platform::Report& out, std::vector<platform::Report>& queue) {
            if (out[2] != request)
                return;
            for (const auto& r : replies) {
                platform::Report report{};
                std::copy(r.begin(), r.end(), report.begin() + 1);
                queue.push_back(report);
            }
        });
}

// A piece reply: r[1] = code, r[2] = n, then the bytes.
Bytes piece(std::uint8_t code, const std::vector<int>& bytes, std::size_t from, std::size_t n,
            int claimed = -1) {
    Bytes r = reply({0, code, static_cast<std::uint8_t>(claimed < 0 ? n : claimed)});
    for (std::size_t i = 0; i < n && from + i < bytes.size() && 3 + i < 64; ++i)
        r[3 + i] = static_cast<std::uint8_t>(bytes[from + i]);
    return r;
}

std::vector<Bytes> pieces(std::uint8_t code, const std::vector<int>& bytes) {
    std::vector<Bytes> out;
    for (std::size_t p = 0; p < bytes.size(); p += 61)
        out.push_back(piece(code, bytes, p, std::min<std::size_t>(61, bytes.size() - p)));
    return out;
}

std::vector<int> lightOf(CTavoHWI& hwi) {
    std::vector<int> values(312, -1);
    EXPECT_TRUE(hwi.getKeyboardLightArea(values.data()));
    return values;
}

TEST(LightWrite, EightReportsCarryTheWholeArea) {
    OpenKeyboard kb;
    auto values = colours();
    values[305] = 0x1FF; // only the low 8 bits are kept
    ASSERT_TRUE(kb.hwi.setKeyboardLightArea(values.data()));
    values[305] = 0xFF;
    EXPECT_EQ(lightOf(kb.hwi), values);

    const auto written = kb.device->written();
    ASSERT_EQ(written.size(), 8u);
    EXPECT_EQ(payloadOf(written[0]), reply({0, 0xE1}));
    for (std::size_t k = 0; k < 6; ++k) {
        const std::size_t p = 61 * k;
        const std::size_t n = k < 5 ? 61 : 7;
        Bytes expected = reply({0, 0xE0, static_cast<std::uint8_t>(n)});
        for (std::size_t i = 0; i < n; ++i)
            expected[3 + i] = static_cast<std::uint8_t>(values[p + i]);
        EXPECT_EQ(written[1 + k][0], 0);
        EXPECT_EQ(payloadOf(written[1 + k]), expected) << k;
    }
    EXPECT_EQ(written[6][4 + 0], 0xFF); // byte 305 opens the sixth piece
    Bytes end(64, 0xE6);
    EXPECT_EQ(payloadOf(written[7]), end);
    EXPECT_EQ(written[7][0], 0);
}

TEST(LightWrite, AFailedWriteIsReportedAndEndsTheTransfer) {
    for (std::size_t reports : {std::size_t{1}, std::size_t{4}, std::size_t{7}}) {
        OpenKeyboard kb;
        kb.failWritesAfter(reports);
        auto values = colours();
        EXPECT_FALSE(kb.hwi.setKeyboardLightArea(values.data())) << reports;
        EXPECT_EQ(kb.device->written().size(), reports);
        EXPECT_EQ(lightOf(kb.hwi), values); // stored all the same
    }
}

TEST(LightRead, PiecesFillTheAreaInOrder) {
    OpenKeyboard kb;
    const auto values = colours();
    auto replies = pieces(0xE0, values);
    replies.insert(replies.begin() + 2, reply({0, 0x77, 61})); // skipped
    replies.push_back(reply({0, 0xE6}));
    answer(kb, 0xE2, replies);
    ASSERT_TRUE(kb.hwi.readKeyLightFromDev());
    EXPECT_EQ(lightOf(kb.hwi), values);
    ASSERT_EQ(kb.device->written().size(), 1u);
    EXPECT_EQ(payloadOf(kb.device->written()[0]), reply({0, 0xE2}));
}

TEST(LightRead, NothingIsStoredBeyondWhatAReplyOrTheAreaHolds) {
    OpenKeyboard kb;
    std::vector<int> filler(400, 0x5A);
    // n = 200 claims more than a reply holds: 61 are taken. Seven such
    // pieces deliver more than the area holds.
    std::vector<Bytes> replies(7, piece(0xE0, filler, 0, 61, 200));
    replies.push_back(reply({0, 0xE6}));
    answer(kb, 0xE2, replies);
    ASSERT_TRUE(kb.hwi.readKeyLightFromDev());
    EXPECT_EQ(lightOf(kb.hwi), std::vector<int>(312, 0x5A));
}

TEST(Counters, LittleEndianCountersPerKey) {
    OpenKeyboard kb;
    std::vector<int> bytes(416, 0);
    bytes[0] = 0x10;
    bytes[1] = 0x02; // key 1: 528
    bytes[4 * 103 + 0] = 0x78;
    bytes[4 * 103 + 1] = 0x56;
    bytes[4 * 103 + 2] = 0x34;
    bytes[4 * 103 + 3] = 0x12; // key 104
    bytes[4 * 50 + 3] = 0x01;  // key 51: high byte only
    auto replies = pieces(0xE3, bytes);
    replies.push_back(reply({0, 0xE6}));
    answer(kb, 0xE3, replies);
    std::vector<int> counters(104, -1);
    ASSERT_TRUE(kb.hwi.getPressCounterFromDev(counters.data()));
    EXPECT_EQ(counters[0], 528);
    EXPECT_EQ(counters[103], 0x12345678);
    EXPECT_EQ(counters[50], 0x01000000);
    EXPECT_EQ(counters[1], 0);
    EXPECT_EQ(payloadOf(kb.device->written().at(0)), reply({0, 0xE3}));
}

TEST(Counters, AFailedReadReportsFalseAndGivesWhatTheAreaHolds) {
    using clock = std::chrono::steady_clock;
    OpenKeyboard kb;
    std::vector<int> bytes(416, 0);
    bytes[0] = 5;
    bytes[4] = 7;
    answer(kb, 0xE3, {piece(0xE3, bytes, 0, 61), reply({0, 0xE6})});
    std::vector<int> counters(104, -1);
    ASSERT_TRUE(kb.hwi.getPressCounterFromDev(counters.data()));

    // Second read: one piece overwrites key 1 and 2, then silence.
    bytes[0] = 9;
    bytes[4] = 0;
    answer(kb, 0xE3, {piece(0xE3, bytes, 0, 4)});
    const auto start = clock::now();
    EXPECT_FALSE(kb.hwi.getPressCounterFromDev(counters.data()));
    EXPECT_LT(clock::now() - start, hwi_test::oneTimeOut());
    EXPECT_EQ(counters[0], 9);
    EXPECT_EQ(counters[1], 7); // not received again: kept

    kb.device->setWriteFails(true);
    counters.assign(104, -1);
    EXPECT_FALSE(kb.hwi.getPressCounterFromDev(counters.data()));
    EXPECT_EQ(counters[0], 9);
}

TEST(AreaTransfers, FailuresEndWithFalseWithinTheTimeOut) {
    using clock = std::chrono::steady_clock;
    {
        OpenKeyboard silent;
        const auto start = clock::now();
        EXPECT_FALSE(silent.hwi.readKeyLightFromDev());
        EXPECT_LT(clock::now() - start, hwi_test::oneTimeOut());
    }
    {
        OpenKeyboard partial; // pieces but no end marker
        const auto values = colours();
        answer(partial, 0xE2, pieces(0xE0, values));
        EXPECT_FALSE(partial.hwi.readKeyLightFromDev());
        EXPECT_EQ(lightOf(partial.hwi), values); // the pieces received stay
    }
    {
        OpenKeyboard unplugged;
        unplugged.attachment.reset();
        auto values = colours();
        std::vector<int> counters(104);
        const auto start = clock::now();
        EXPECT_FALSE(unplugged.hwi.setKeyboardLightArea(values.data()));
        EXPECT_FALSE(unplugged.hwi.readKeyLightFromDev());
        EXPECT_FALSE(unplugged.hwi.getPressCounterFromDev(counters.data()));
        EXPECT_LT(clock::now() - start, hwi_test::oneTimeOut());
    }
}

} // namespace
