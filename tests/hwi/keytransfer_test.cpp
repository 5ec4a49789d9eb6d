// Key definition arrays, the slot table, and its write and read.
#include "open_keyboard.h"

#include <chrono>
#include <numeric>

using hwi_test::Bytes;
using hwi_test::OpenKeyboard;
using hwi_test::payloadOf;
using hwi_test::reply;

namespace {

std::vector<std::uintptr_t> allSlots() {
    std::vector<std::uintptr_t> slots(208);
    std::iota(slots.begin(), slots.end(), 0);
    return slots;
}

Bytes emptySlotBlock(int layer, int key) {
    return reply({0, 0xF0, static_cast<std::uint8_t>(layer), static_cast<std::uint8_t>(key)});
}

std::vector<int> getArray(CTavoHWI& hwi, int layer, int key, int fill = -7) {
    std::vector<int> values(1024, fill);
    EXPECT_TRUE(
        hwi.getKeyConfiguration(layer, key, values.data(), static_cast<int>(values.size())));
    return values;
}

// What a getKeyConfiguration gives: the definition, then the untouched rest.
std::vector<int> asRead(std::vector<int> definition, int fill = -7) {
    definition.resize(1024, fill);
    return definition;
}

TEST(KeyArrays, EveryFormComesBackAsItWasGiven) {
    const std::vector<std::vector<int>> arrays = {
        {0, 1, 0x41},
        {0, 3, 0xE0, 0xE1, 0x04},
        {1, 300, 2, 0x04, 0x05},
        {2, 0, 5, 1, 0, 3, 0xA0, 100, 0xA1, 50, 0xA2},
        {2, 1, 5, 0, 30, 2, 0xA0, 0xA1},
        {2, 2, 0, 1, 0, 1, 0x2C},
        {2, 0, 1, 2, 30, 3}, // stepDelays neither 0 nor 1: no list
    };
    OpenKeyboard kb;
    for (const auto& array : arrays) {
        auto v = array;
        ASSERT_TRUE(kb.hwi.setKeyConfiguration(1, 3, v.data(), static_cast<int>(v.size())));
        EXPECT_EQ(getArray(kb.hwi, 1, 3), asRead(array)) << array.size();
    }
}

TEST(KeyArrays, EmptySlotWritesOnlyTwoElements) {
    OpenKeyboard kb;
    EXPECT_EQ(getArray(kb.hwi, 0, 1), asRead({0, 0}));
    std::vector<int> v = {0, 1, 0x41};
    kb.hwi.setKeyConfiguration(0, 1, v.data(), 3);
    kb.hwi.prepare();
    EXPECT_EQ(getArray(kb.hwi, 0, 1), asRead({0, 0}));
}

TEST(KeyArrays, ArraysThatAreNoDefinitionChangeNothing) {
    const std::vector<std::pair<const char*, std::vector<int>>> bad = {
        {"unknown form", {3, 1, 0x41}},
        {"negative count", {0, -1}},
        {"fewer elements than named", {0, 4, 1, 2}},
        {"delayed, fewer elements", {1, 30, 2, 1}},
        {"macro, fewer elements", {2, 0, 1, 1, 0, 3, 1, 10, 2, 20}},
        {"unknown play mode", {2, 3, 1, 0, 0, 1, 0x41}},
        {"too many codes for a block",
         [] {
             std::vector<int> v = {0, 59};
             v.resize(61, 0x04);
             return v;
         }()},
        {"macro longer than its length field", {2, 0, 1, 2, 0, 20000}},
        {"empty", {}},
    };
    OpenKeyboard kb;
    std::vector<int> good = {0, 1, 0x41};
    kb.hwi.setKeyConfiguration(0, 9, good.data(), 3);
    for (auto [name, v] : bad) {
        v.reserve(v.size() + 8); // room behind the array that must not be read as part of it
        EXPECT_FALSE(kb.hwi.setKeyConfiguration(0, 9, v.data(), static_cast<int>(v.size())))
            << name;
        EXPECT_EQ(getArray(kb.hwi, 0, 9), asRead({0, 1, 0x41})) << name;
    }
    const std::pair<int, int> noSlot[] = {{-1, 1}, {2, 1}, {0, 0}, {1, 105}};
    for (const auto& [layer, key] : noSlot) {
        EXPECT_FALSE(kb.hwi.setKeyConfiguration(layer, key, good.data(), 3));
        int out[4] = {};
        EXPECT_FALSE(kb.hwi.getKeyConfiguration(layer, key, out, 4));
    }
}

TEST(KeyArrays, ADefinitionLargerThanTheCapacityIsNotWritten) {
    OpenKeyboard kb;
    std::vector<int> v = {0, 3, 1, 2, 3};
    kb.hwi.setKeyConfiguration(0, 1, v.data(), 5);
    int out[5] = {9, 9, 9, 9, 9};
    EXPECT_FALSE(kb.hwi.getKeyConfiguration(0, 1, out, 4));
    EXPECT_EQ(std::vector<int>(out, out + 5), std::vector<int>(5, 9));
    EXPECT_TRUE(kb.hwi.getKeyConfiguration(0, 1, out, 5));
}

TEST(KeyArrays, EveryCallNeedsAnOpenDevice) {
    CTavoHWI closed;
    int v[3] = {0, 1, 0x41};
    int light[312] = {};
    EXPECT_FALSE(closed.prepare());
    EXPECT_FALSE(closed.setKeyConfiguration(0, 1, v, 3));
    EXPECT_FALSE(closed.getKeyConfiguration(0, 1, v, 3));
    EXPECT_FALSE(closed.writeKeyConfigurationToDev(nullptr));
    EXPECT_FALSE(closed.readKeyDefinationFromDev(nullptr));
    EXPECT_FALSE(closed.setKeyboardLightArea(light));
    EXPECT_FALSE(closed.getKeyboardLightArea(light));
    EXPECT_FALSE(closed.readKeyLightFromDev());
    EXPECT_FALSE(closed.getPressCounterFromDev(light));
    char image[] = ":00000001FF\r\n";
    EXPECT_FALSE(closed.WriteFirmwareToKeyboard(image, sizeof image - 1, nullptr));
}

TEST(KeyWrite, EmptyTableIsBeginTwoHundredEightEmptySlotsAndEnd) {
    OpenKeyboard kb;
    kb.hwi.prepare();
    ASSERT_TRUE(kb.hwi.writeKeyConfigurationToDev(kb.window.handle()));
    const auto written = kb.device->written();
    ASSERT_EQ(written.size(), 210u);
    EXPECT_EQ(written.front()[0], 0);
    EXPECT_EQ(payloadOf(written.front()), reply({0, 0xF1}));
    for (int s = 0; s < 208; ++s) {
        EXPECT_EQ(written[s + 1][0], 0);
        EXPECT_EQ(payloadOf(written[s + 1]), emptySlotBlock(s / 104 + 1, s % 104 + 1)) << s;
    }
    Bytes end(64, 0xF6);
    end[0] = 0;
    EXPECT_EQ(payloadOf(written.back()), end);
    EXPECT_EQ(kb.progress(), allSlots());
}

TEST(KeyWrite, RecordsGoInSlotOrderAndMacrosSpanTheirBlocks) {
    OpenKeyboard kb;
    std::vector<int> single = {0, 1, 0x41};
    std::vector<int> macro = {2, 0, 5, 0, 30, 54};
    for (int i = 0; i < 54; ++i)
        macro.push_back(0x10 + i);
    std::vector<int> emulate = {1, 300, 1, 0x04};
    kb.hwi.setKeyConfiguration(1, 3, single.data(), 3);                             // slot 106
    kb.hwi.setKeyConfiguration(0, 2, macro.data(), static_cast<int>(macro.size())); // slot 1
    kb.hwi.setKeyConfiguration(1, 104, emulate.data(),
                               static_cast<int>(emulate.size())); // slot 207
    ASSERT_TRUE(kb.hwi.writeKeyConfigurationToDev(kb.window.handle()));

    const auto written = kb.device->written();
    ASSERT_EQ(written.size(), 211u);
    // begin, slot 0, slot 1 in two blocks, slot 2 ...
    EXPECT_EQ(payloadOf(written[1]), emptySlotBlock(1, 1));
    const Bytes head = {0, 0xF0, 1, 2, 2, 5, 0, 0, 30, 0, 54};
    for (int j = 0; j < 2; ++j)
        EXPECT_EQ(Bytes(written[2 + j].begin() + 1, written[2 + j].begin() + 12), head);
    EXPECT_EQ(written[2][12], 0x10);
    EXPECT_EQ(written[3][12], 0x10 + 53);
    EXPECT_EQ(written[3][13], 0);
    EXPECT_EQ(payloadOf(written[4]), emptySlotBlock(1, 3));
    EXPECT_EQ(payloadOf(written[1 + 106 + 1]), reply({0, 0xF0, 2, 3, 0, 1, 0x41}));
    EXPECT_EQ(payloadOf(written[209]), reply({0, 0xF0, 2, 104, 1, 0x01, 0x2C, 1, 0x04}));
    EXPECT_EQ(kb.progress(), allSlots()); // one post per slot, however many blocks
}

TEST(KeyWrite, MacroWithoutStepsReachesTheKeyboardAsAnEmptySlot) {
    OpenKeyboard kb;
    for (int stepDelays : {0, 1}) {
        kb.device->clearWritten();
        std::vector<int> empty = {2, 0, 1, stepDelays, 0, 0};
        ASSERT_TRUE(kb.hwi.setKeyConfiguration(0, 5, empty.data(), 6));
        ASSERT_TRUE(kb.hwi.writeKeyConfigurationToDev(nullptr));
        const auto written = kb.device->written();
        ASSERT_EQ(written.size(), 210u);
        EXPECT_EQ(payloadOf(written[5]), emptySlotBlock(1, 5));
    }
}

TEST(KeyWrite, StopsAtTheFirstFailedWriteWithoutTheEndReport) {
    const std::size_t failAt[] = {1, 2, 50, 209}; // 209: only the end report fails
    for (std::size_t reports : failAt) {
        OpenKeyboard kb;
        kb.failWritesAfter(reports); // reports 1..n go through, n + 1 fails
        EXPECT_FALSE(kb.hwi.writeKeyConfigurationToDev(kb.window.handle())) << reports;
        EXPECT_EQ(kb.device->written().size(), reports) << reports;
        // Slots posted: those whose report went through.
        EXPECT_EQ(kb.progress().size(), std::min<std::size_t>(reports - 1, 208)) << reports;
    }
}

// Answers a read request with the given replies.
void answerRead(OpenKeyboard& kb, std::vector<Bytes> replies) {
    kb.device->setResponder(
        [replies](const platform::Report& out, std::vector<platform::Report>& queue) {
            if (out[2] != 0xF2)
                return;
            for (const auto& r : replies) {
                platform::Report report{};
                std::copy(r.begin(), r.end(), report.begin() + 1);
                queue.push_back(report);
            }
        });
}

Bytes endMarker() {
    return reply({0xF6, 0xF0});
} // r[0] decides, whatever r[1] holds

TEST(KeyRead, StoresEveryRecordIntoItsSlotAndSkipsTheRest) {
    OpenKeyboard kb;
    std::vector<int> before = {0, 1, 0x29};
    kb.hwi.setKeyConfiguration(0, 50, before.data(), 3); // not mentioned: kept
    answerRead(kb, {
                       reply({0, 0xF0, 2, 3, 0, 1, 0x41}),
                       reply({0, 0x55, 1, 1, 0, 1, 0x41}), // no record code: skipped
                       reply({0, 0xF0, 1, 1, 1, 0x01, 0x2C, 1, 0x04}),
                       reply({0, 0xF0, 3, 1, 0, 1, 0x41}),   // layer 3: no slot
                       reply({0, 0xF0, 1, 105, 0, 1, 0x41}), // key 105: no slot
                       reply({0, 0xF0, 1, 0, 0, 1, 0x41}),   // key 0: no slot
                       reply({0, 0xF0, 1, 2, 5, 1, 0x41}),   // type 5: no class
                       reply({0, 0xF0, 1, 104, 3, 5, 0, 0, 30, 0, 2, 0xA0, 0xA1}), endMarker(),
                       reply({0, 0xF0, 1, 4, 0, 1, 0x41}), // after the end: never read
                   });
    ASSERT_TRUE(kb.hwi.readKeyDefinationFromDev(kb.window.handle()));
    EXPECT_EQ(getArray(kb.hwi, 1, 3), asRead({0, 1, 0x41}));
    EXPECT_EQ(getArray(kb.hwi, 0, 1), asRead({1, 300, 1, 0x04}));
    EXPECT_EQ(getArray(kb.hwi, 0, 104), asRead({2, 1, 5, 0, 30, 2, 0xA0, 0xA1}));
    EXPECT_EQ(getArray(kb.hwi, 0, 50), asRead({0, 1, 0x29}));
    EXPECT_EQ(getArray(kb.hwi, 0, 2), asRead({0, 0}));
    EXPECT_EQ(getArray(kb.hwi, 0, 4), asRead({0, 0}));
    EXPECT_EQ(kb.progress(), (std::vector<std::uintptr_t>{106, 0, 103}));
}

TEST(KeyRead, MacroBlocksAreJoinedWhateverTheFollowingRepliesHold) {
    OpenKeyboard kb;
    // Payload 54 names two blocks: exactly one more reply belongs to it, even
    // one that looks like the end marker.
    Bytes first = reply({0, 0xF0, 1, 7, 2, 1, 0, 0, 0, 0, 54});
    for (int i = 0; i < 53; ++i)
        first[11 + i] = static_cast<std::uint8_t>(0x10 + i);
    Bytes second = reply({0xF6, 0xF0, 1, 7, 2, 1, 0, 0, 0, 0, 54, 0x99});
    answerRead(kb, {first, second, reply({0, 0xF0, 1, 8, 0, 1, 0x42}), endMarker()});
    ASSERT_TRUE(kb.hwi.readKeyDefinationFromDev(nullptr));
    std::vector<int> expected = {2, 0, 1, 0, 0, 54};
    for (int i = 0; i < 53; ++i)
        expected.push_back(0x10 + i);
    expected.push_back(0x99);
    EXPECT_EQ(getArray(kb.hwi, 0, 7), asRead(expected));
    EXPECT_EQ(getArray(kb.hwi, 0, 8), asRead({0, 1, 0x42}));
}

TEST(KeyRead, ASkippedMacroTakesItsFurtherBlocksWithIt) {
    OpenKeyboard kb;
    Bytes noSlot = reply({0, 0xF0, 9, 7, 2, 1, 0, 0, 0, 0, 54});
    Bytes continuation = reply({0, 0xF0, 1, 1, 0, 1, 0x41}); // would be a record on its own
    answerRead(kb, {noSlot, continuation, endMarker()});
    ASSERT_TRUE(kb.hwi.readKeyDefinationFromDev(nullptr));
    EXPECT_EQ(getArray(kb.hwi, 0, 1), asRead({0, 0}));
}

TEST(KeyRead, WriteThenReadGivesTheSameArrays) {
    OpenKeyboard kb;
    // A keyboard that keeps the blocks of the last write and plays them back.
    auto stored = std::make_shared<std::vector<platform::Report>>();
    kb.device->setResponder(
        [stored](const platform::Report& out, std::vector<platform::Report>& queue) {
            if (out[2] == 0xF1)
                stored->clear();
            else if (out[2] == 0xF0)
                stored->push_back(out);
            else if (out[2] == 0xF2) {
                queue = *stored;
                platform::Report end{};
                end[1] = 0xF6;
                queue.push_back(end);
            }
        });
    std::vector<int> timed = {2, 2, 0, 1, 0, 40};
    for (int i = 0; i < 40; ++i) {
        timed.push_back(0x20 + i);
        if (i < 39)
            timed.push_back(1000 + i);
    }
    const std::vector<std::vector<int>> arrays = {
        {0, 1, 0x41}, {0, 2, 130, 130},     {1, 30, 3, 4, 5, 6}, {2, 0, 3, 0, 25, 2, 7, 8},
        timed,        {2, 1, 0, 1, 0, 1, 9}};
    kb.hwi.prepare();
    for (std::size_t i = 0; i < arrays.size(); ++i) {
        auto v = arrays[i];
        ASSERT_TRUE(kb.hwi.setKeyConfiguration(static_cast<int>(i % 2),
                                               static_cast<int>(10 * i + 1), v.data(),
                                               static_cast<int>(v.size())));
    }
    ASSERT_TRUE(kb.hwi.writeKeyConfigurationToDev(nullptr));
    kb.hwi.prepare();
    ASSERT_TRUE(kb.hwi.readKeyDefinationFromDev(kb.window.handle()));
    EXPECT_EQ(kb.progress(), allSlots());
    for (std::size_t i = 0; i < arrays.size(); ++i)
        EXPECT_EQ(getArray(kb.hwi, static_cast<int>(i % 2), static_cast<int>(10 * i + 1)),
                  asRead(arrays[i]))
            << i;
}

TEST(KeyRead, FailuresEndTheReadWithFalseWithinTheTimeOut) {
    using clock = std::chrono::steady_clock;
    const auto withinTimeOut = hwi_test::oneTimeOut();
    {
        OpenKeyboard silent; // never answers
        const auto start = clock::now();
        EXPECT_FALSE(silent.hwi.readKeyDefinationFromDev(nullptr));
        EXPECT_LT(clock::now() - start, withinTimeOut);
    }
    {
        OpenKeyboard stops; // answers part, then nothing: no end marker
        answerRead(stops, {reply({0, 0xF0, 1, 1, 0, 1, 0x41})});
        const auto start = clock::now();
        EXPECT_FALSE(stops.hwi.readKeyDefinationFromDev(nullptr));
        EXPECT_LT(clock::now() - start, withinTimeOut);
        EXPECT_EQ(getArray(stops.hwi, 0, 1), asRead({0, 1, 0x41})); // what arrived stays
    }
    {
        OpenKeyboard shortMacro; // a macro's second block never comes
        std::vector<int> before = {0, 1, 0x29};
        shortMacro.hwi.setKeyConfiguration(0, 7, before.data(), 3);
        answerRead(shortMacro, {reply({0, 0xF0, 1, 7, 2, 1, 0, 0, 0, 0, 54})});
        EXPECT_FALSE(shortMacro.hwi.readKeyDefinationFromDev(nullptr));
        EXPECT_EQ(getArray(shortMacro.hwi, 0, 7), asRead({0, 1, 0x29})); // not half replaced
    }
    {
        OpenKeyboard unplugged;
        unplugged.attachment.reset();
        const auto start = clock::now();
        EXPECT_FALSE(unplugged.hwi.readKeyDefinationFromDev(nullptr));
        EXPECT_FALSE(unplugged.hwi.writeKeyConfigurationToDev(unplugged.window.handle()));
        EXPECT_LT(clock::now() - start, withinTimeOut);
        EXPECT_TRUE(unplugged.progress().empty());
    }
}

} // namespace
