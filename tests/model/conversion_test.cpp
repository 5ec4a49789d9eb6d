// Transfers between the configuration model and a simulated keyboard: the
// arrays each kind of assignment becomes, what reading them back makes of the
// slots, colours and press counters, and what a failed transfer leaves.
#include "TavoModel.h"

#include "hwi/TavoHWI.h"
#include "inprocess.h"
#include "platform/hid_memory.h"
#include "platform/window.h"
#include "sim_keyboard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <numeric>
#include <ostream>
#include <string>
#include <vector>

namespace {

using Array = std::vector<int>;

constexpr int kHW_A = 43; // the HW code of the key named "A"
constexpr int kHW_B = 60; // "B"
constexpr int kHW_C = 58; // "C"

// A model whose tables are built and whose configuration is reset, its device
// opened on whatever keyboard is attached.
std::unique_ptr<CTavoModel> NewModel() {
    auto model = std::make_unique<CTavoModel>();
    model->BuildKeyTables();
    model->language = "en-US";
    model->ResetKeySettings();
    return model;
}

CItemList List(int sizeOfView, std::vector<std::wstring> items) {
    CItemList list(sizeOfView);
    for (const auto& item : items)
        list.SetItem(list.Count(), item);
    return list;
}

struct Simulated {
    sim::SimKeyboard keyboard{sim::Model::Vanta};
    sim::InProcessKeyboard attached{keyboard};
    platform::MessageQueueWindow window;
    std::unique_ptr<CTavoModel> model = NewModel();

    Simulated() { EXPECT_TRUE(model->device.__createDev()); }

    // A second model that reads the keyboard on its own: the first one's
    // device is closed so that the keyboard is free.
    std::unique_ptr<CTavoModel> Reader() {
        model->device.__closeDev();
        auto reader = NewModel();
        EXPECT_TRUE(reader->device.__createDev());
        return reader;
    }

    Array Slot(CTavoModel& m, int layer, int key) {
        Array v(128, -7);
        EXPECT_TRUE(m.device.getKeyConfiguration(layer, key, v.data(), static_cast<int>(v.size())));
        return v;
    }

    std::vector<std::uintptr_t> Progress() {
        std::vector<std::uintptr_t> steps;
        for (const auto& message : window.take())
            if (message.message == platform::UM_DEVICE_PROGRESS)
                steps.push_back(message.wParam);
        return steps;
    }

    // Sends arrays straight through the library, as a keyboard programmed
    // elsewhere would hold them.
    void Program(const std::vector<std::pair<int, Array>>& slotsOfLayer0) {
        ASSERT_TRUE(model->device.prepare());
        for (auto [key, v] : slotsOfLayer0)
            ASSERT_TRUE(model->device.setKeyConfiguration(0, key, v.data(), static_cast<int>(v.size()))) << key;
        ASSERT_TRUE(model->device.writeKeyConfigurationToDev(nullptr));
    }
};

// The array the library was left with; elements after it are -7.
Array Padded(Array v, std::size_t size = 128) {
    v.resize(size, -7);
    return v;
}

// Everything a transfer may change in the model, to check that a failed one
// changed nothing.
struct Snapshot {
    std::vector<int> values;
    std::vector<std::wstring> texts;

    explicit Snapshot(const CTavoModel& m) {
        for (int k = 0; k < CTavoModel::kKeyRows; ++k) {
            for (int l = 0; l < CTavoModel::kLayers; ++l) {
                const CItemList& list = m.keyList[k][l];
                values.insert(values.end(), {m.keyMode[k][l], m.keyHWCode[k][l], list.SizeOfView, list.ViewStartAt,
                                             list.CursorPos, list.Cycles, list.IsAutoInterval, list.Delay,
                                             list.PlayMode, list.Count()});
                texts.insert(texts.end(), list.items.begin(), list.items.end());
            }
            values.insert(values.end(), m.keyColour[k].begin(), m.keyColour[k].end());
            values.push_back(m.pressCount[k]);
        }
        values.push_back(m.mostPressedKey);
        values.push_back(m.leastPressedKey);
    }
    bool operator==(const Snapshot&) const = default;
    // Where two snapshots part, for the failure message.
    friend void PrintTo(const Snapshot& s, std::ostream* out) {
        *out << s.values.size() << " values, " << s.texts.size() << " texts, sum "
             << std::accumulate(s.values.begin(), s.values.end(), 0LL);
    }
};

// A configuration that uses every kind of assignment on both layers.
void AssignEveryMode(CTavoModel& m) {
    auto set = [&m](int key, int layer, int mode, int hw, CItemList list = CItemList()) {
        m.keyMode[key][layer] = mode;
        m.keyHWCode[key][layer] = hw;
        m.keyList[key][layer] = list;
    };
    set(1, 0, MODE_SINGLE, kHW_A);
    set(2, 1, MODE_COMBO, 0, List(6, {L"A", L"B", L"C"}));
    CItemList macro = List(9, {L"A Down", DelayItemText(50), L"A UP", DelayItemText(20), L"B Down"});
    macro.Cycles = 3;
    set(3, 0, MODE_MACRO, 0, macro);
    CItemList emulate = List(9, {L"C", L"B"});
    emulate.Delay = 250;
    set(4, 1, MODE_EMULATE, 0, emulate);
    set(5, 0, MODE_MULTIMEDIA, 110);
    set(6, 1, MODE_MOUSE, 199);
    set(7, 0, MODE_FUNCTION, 140);
    set(104, 1, MODE_POWER, 76);
}

// --- Writing the keys -------------------------------------------------------

TEST(WriteKeys, EachKindOfAssignmentBecomesItsArray) {
    struct Case {
        const char* name;
        int layer, key, mode, hw;
        CItemList list;
        Array expected;
    };
    CItemList autoMacro = List(9, {L"A Down", L"A UP"});
    autoMacro.IsAutoInterval = true;
    autoMacro.PlayMode = 1;
    autoMacro.Cycles = 5;
    autoMacro.Delay = 40;
    CItemList autoMacroOnce = autoMacro;
    autoMacroOnce.PlayMode = 0;
    CItemList recorded = List(9, {L"A Down", DelayItemText(50), L"A UP"});
    recorded.Cycles = 2;
    recorded.Delay = 99; // not sent when the recorded pauses play
    CItemList emulate = List(9, {L"B", L"C"});
    emulate.Delay = 300;
    const Case cases[] = {
        {"single on the Fn layer", 1, 3, MODE_SINGLE, 0x41, {}, {0, 1, 0x41}},
        {"double click", 0, 10, MODE_MOUSE, 199, {}, {0, 2, 130, 130}},
        {"other mouse function", 0, 11, MODE_MOUSE, 128, {}, {0, 1, 128}},
        {"multimedia", 1, 12, MODE_MULTIMEDIA, 110, {}, {0, 1, 110}},
        {"function", 0, 13, MODE_FUNCTION, 140, {}, {0, 1, 140}},
        {"power", 0, 14, MODE_POWER, 76, {}, {0, 1, 76}},
        {"combo", 0, 15, MODE_COMBO, 0, List(6, {L"A", L"B", L"C"}), {0, 3, kHW_A, kHW_B, kHW_C}},
        {"emulation", 1, 16, MODE_EMULATE, 0, emulate, {1, 300, 2, kHW_B, kHW_C}},
        {"macro at the interval, play mode 1", 0, 17, MODE_MACRO, 0, autoMacro, {2, 1, 0, 0, 40, 2, kHW_A, kHW_A}},
        {"macro at the interval, play mode 0", 0, 18, MODE_MACRO, 0, autoMacroOnce, {2, 0, 5, 0, 40, 2, kHW_A, kHW_A}},
        {"macro with recorded pauses", 1, 104, MODE_MACRO, 0, recorded, {2, 0, 2, 1, 0, 2, kHW_A, 50, kHW_A}},
    };
    Simulated s;
    for (const auto& c : cases) {
        s.model->keyMode[c.key][c.layer] = c.mode;
        s.model->keyHWCode[c.key][c.layer] = c.hw;
        s.model->keyList[c.key][c.layer] = c.list;
    }
    // A slot not set keeps whatever HW code and list it has out of the array.
    s.model->keyHWCode[20][0] = 0x41;
    s.model->keyList[20][0] = List(6, {L"A"});
    ASSERT_TRUE(s.model->writeKeysToDevice(s.window.handle()));

    for (const auto& c : cases)
        EXPECT_EQ(s.Slot(*s.model, c.layer, c.key), Padded(c.expected)) << c.name;
    EXPECT_EQ(s.Slot(*s.model, 0, 20), Padded({0, 0}));
    std::vector<std::uintptr_t> all(208);
    std::iota(all.begin(), all.end(), 0);
    EXPECT_EQ(s.Progress(), all);

    // What the keyboard holds is what the library sent: reading it back with
    // another device object gives the same arrays.
    auto reader = s.Reader();
    ASSERT_TRUE(reader->device.readKeyDefinationFromDev(nullptr));
    for (const auto& c : cases)
        EXPECT_EQ(s.Slot(*reader, c.layer, c.key), Padded(c.expected)) << c.name;
}

TEST(WriteKeys, ANewConfigurationWritesOnlyEmptySlots) {
    Simulated s;
    // Left on the keyboard by an earlier write, and in the library's table.
    s.Program({{1, {0, 1, 0x41}}, {50, {1, 30, 1, 0x42}}});
    auto fresh = NewModel();
    s.model->device.__closeDev();
    ASSERT_TRUE(fresh->device.__createDev());
    ASSERT_TRUE(fresh->writeKeysToDevice(nullptr));

    fresh->device.__closeDev();
    auto reader = NewModel();
    ASSERT_TRUE(reader->device.__createDev());
    ASSERT_TRUE(reader->device.readKeyDefinationFromDev(nullptr));
    for (int l = 0; l < 2; ++l)
        for (int k = 1; k <= 104; ++k)
            ASSERT_EQ(s.Slot(*reader, l, k), Padded({0, 0})) << l << " " << k;
}

TEST(WriteKeys, AnAssignmentTheLibraryRefusesSendsNothing) {
    Simulated s;
    s.model->keyMode[1][0] = MODE_SINGLE;
    s.model->keyHWCode[1][0] = kHW_A;
    // More codes than one definition block carries.
    s.model->keyMode[2][0] = MODE_COMBO;
    s.model->keyList[2][0] = List(6, std::vector<std::wstring>(59, L"A"));
    const auto before = s.keyboard.reportsTaken();
    EXPECT_FALSE(s.model->writeKeysToDevice(s.window.handle()));
    EXPECT_EQ(s.keyboard.reportsTaken(), before);
    EXPECT_TRUE(s.Progress().empty());
}

// --- Reading the keys back ---------------------------------------------------

TEST(ReadKeys, EveryKindOfAssignmentComesBack) {
    Simulated s;
    AssignEveryMode(*s.model);
    ASSERT_TRUE(s.model->writeKeysToDevice(nullptr));
    auto r = s.Reader();
    ASSERT_TRUE(r->readKeysFromDevice(s.window.handle()));
    EXPECT_EQ(s.Progress().size(), 208u);

    EXPECT_EQ(r->keyMode[1][0], MODE_SINGLE);
    EXPECT_EQ(r->keyHWCode[1][0], kHW_A);

    // Lists come back as plain key names with fresh view and play settings.
    const CItemList& combo = r->keyList[2][1];
    EXPECT_EQ(r->keyMode[2][1], MODE_COMBO);
    EXPECT_EQ(combo.items, (std::vector<std::wstring>{L"A", L"B", L"C"}));
    EXPECT_EQ(combo.SizeOfView, 6);
    EXPECT_EQ(combo.subLists.size(), 3u);

    const CItemList& macro = r->keyList[3][0];
    EXPECT_EQ(r->keyMode[3][0], MODE_MACRO);
    EXPECT_EQ(macro.items, (std::vector<std::wstring>{L"A", L"<50 ms>", L"A", L"<20 ms>", L"B"}));
    EXPECT_EQ(macro.SizeOfView, 9);
    EXPECT_FALSE(macro.IsAutoInterval);
    EXPECT_EQ(macro.Cycles, 3);
    EXPECT_EQ(macro.PlayMode, 0);
    EXPECT_EQ(macro.Delay, 0);

    const CItemList& emulate = r->keyList[4][1];
    EXPECT_EQ(r->keyMode[4][1], MODE_EMULATE);
    EXPECT_EQ(emulate.items, (std::vector<std::wstring>{L"C", L"B"}));
    EXPECT_EQ(emulate.SizeOfView, 9);
    EXPECT_EQ(emulate.Delay, 250);
    EXPECT_EQ(emulate.Cycles, 1);

    const std::tuple<int, int, int, int> codes[] = {
        {5, 0, MODE_MULTIMEDIA, 110}, {6, 1, MODE_MOUSE, 199}, {7, 0, MODE_FUNCTION, 140}, {104, 1, MODE_POWER, 76}};
    for (const auto& [key, layer, mode, hw] : codes) {
        EXPECT_EQ(r->keyMode[key][layer], mode) << key;
        EXPECT_EQ(r->keyHWCode[key][layer], hw) << key;
    }

    // Everything else is not set, on both layers.
    int assigned = 0;
    for (int k = 1; k <= 104; ++k)
        for (int l = 0; l < 2; ++l)
            assigned += r->keyMode[k][l] != MODE_NOT_SET;
    EXPECT_EQ(assigned, 8);
}

TEST(ReadKeys, MacroSettingsComeBackAsTheyTravel) {
    struct Case {
        const char* name;
        Array sent;
        int playMode, cycles, delay;
        bool autoInterval;
        std::vector<std::wstring> items;
    };
    const Case cases[] = {
        // Play modes other than 0 travel without their cycles.
        {"interval, play mode 1", {2, 1, 0, 0, 40, 2, kHW_A, kHW_B}, 1, 0, 40, true, {L"A", L"B"}},
        {"interval, play mode 0", {2, 0, 5, 0, 40, 1, kHW_C}, 0, 5, 40, true, {L"C"}},
        {"one recorded step", {2, 2, 0, 1, 0, 1, kHW_A}, 2, 0, 0, false, {L"A"}},
        {"recorded pauses", {2, 0, 1, 1, 0, 3, kHW_A, 7, kHW_B, 1000, kHW_C}, 0, 1, 0, false,
         {L"A", L"<7 ms>", L"B", L"<1000 ms>", L"C"}},
    };
    Simulated s;
    std::vector<std::pair<int, Array>> slots;
    for (std::size_t i = 0; i < std::size(cases); ++i)
        slots.emplace_back(static_cast<int>(i) + 1, cases[i].sent);
    s.Program(slots);
    ASSERT_TRUE(s.model->readKeysFromDevice(nullptr));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        const CItemList& list = s.model->keyList[i + 1][0];
        EXPECT_EQ(s.model->keyMode[i + 1][0], MODE_MACRO) << c.name;
        EXPECT_EQ(list.PlayMode, c.playMode) << c.name;
        EXPECT_EQ(list.Cycles, c.cycles) << c.name;
        EXPECT_EQ(list.Delay, c.delay) << c.name;
        EXPECT_EQ(list.IsAutoInterval, c.autoInterval) << c.name;
        EXPECT_EQ(list.items, c.items) << c.name;
    }
}

TEST(ReadKeys, LongListsSpanningSeveralBlocksComeBackWhole) {
    // A recorded macro of 120 events and 119 pauses, and the largest combo a
    // definition block carries.
    const wchar_t* const names[] = {L"A", L"B", L"C"};
    std::vector<std::wstring> events, expected;
    for (int i = 0; i < 120; ++i) {
        if (i > 0) {
            events.push_back(DelayItemText(i * 3));
            expected.push_back(DelayItemText(i * 3));
        }
        events.push_back(std::wstring(names[i % 3]) + (i % 2 ? L" UP" : L" Down"));
        expected.push_back(names[i % 3]);
    }
    std::vector<std::wstring> combo(58, L"B");
    Simulated s;
    s.model->keyMode[9][1] = MODE_MACRO;
    s.model->keyList[9][1] = List(9, events);
    s.model->keyMode[10][1] = MODE_COMBO;
    s.model->keyList[10][1] = List(6, combo);
    ASSERT_TRUE(s.model->writeKeysToDevice(nullptr));
    auto r = s.Reader();
    ASSERT_TRUE(r->readKeysFromDevice(nullptr));
    EXPECT_EQ(r->keyMode[9][1], MODE_MACRO);
    EXPECT_EQ(r->keyList[9][1].items, expected);
    EXPECT_EQ(r->keyMode[10][1], MODE_COMBO);
    EXPECT_EQ(r->keyList[10][1].items, combo);
    // Appended one by one, the lists end selected on their last item.
    EXPECT_EQ(r->keyList[9][1].SelectedIndex(), 238);
}

TEST(ReadKeys, TheModeOfOneCodeFollowsItsRange) {
    const std::pair<int, int> cases[] = {
        {1, MODE_SINGLE},        {74, MODE_SINGLE},       {75, MODE_POWER},       {76, MODE_POWER},
        {77, MODE_POWER},        {78, MODE_SINGLE},       {107, MODE_SINGLE},     {108, MODE_MULTIMEDIA},
        {110, MODE_MULTIMEDIA},  {125, MODE_MULTIMEDIA},  {126, MODE_MOUSE},      {130, MODE_MOUSE},
        {134, MODE_MOUSE},       {135, MODE_FUNCTION},    {156, MODE_FUNCTION},   {157, MODE_MOUSE},
        {158, MODE_MOUSE},       {159, MODE_FUNCTION},    {173, MODE_MOUSE},      {198, MODE_FUNCTION},
        {199, MODE_SINGLE},      {200, MODE_SINGLE},      {0, MODE_SINGLE},       {255, MODE_SINGLE},
    };
    Simulated s;
    std::vector<std::pair<int, Array>> slots;
    for (std::size_t i = 0; i < std::size(cases); ++i)
        slots.emplace_back(static_cast<int>(i) + 1, Array{0, 1, cases[i].first});
    s.Program(slots);
    ASSERT_TRUE(s.model->readKeysFromDevice(nullptr));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(s.model->keyMode[i + 1][0], cases[i].second) << cases[i].first;
        EXPECT_EQ(s.model->keyHWCode[i + 1][0], cases[i].first) << cases[i].first;
    }
}

TEST(ReadKeys, TwoCodeArraysAreADoubleClickOnlyWhenBothAreLeftClicks) {
    Simulated s;
    s.Program({{1, {0, 2, 130, 130}}, {2, {0, 2, 130, 131}}, {3, {0, 2, kHW_A, kHW_B}}, {4, {1, 30, 0}},
               {5, {2, 0, 1, 0, 30, 0}}, {6, {2, 0, 1, 1, 0, 0}}});
    ASSERT_TRUE(s.model->readKeysFromDevice(nullptr));
    EXPECT_EQ(s.model->keyMode[1][0], MODE_MOUSE);
    EXPECT_EQ(s.model->keyHWCode[1][0], 199);
    EXPECT_EQ(s.model->keyMode[2][0], MODE_COMBO);
    EXPECT_EQ(s.model->keyList[2][0].items.size(), 2u);
    EXPECT_EQ(s.model->keyMode[3][0], MODE_COMBO);
    EXPECT_EQ(s.model->keyList[3][0].items, (std::vector<std::wstring>{L"A", L"B"}));
    // Lists without codes are no assignment.
    for (int key : {4, 5, 6})
        EXPECT_EQ(s.model->keyMode[key][0], MODE_NOT_SET) << key;
}

TEST(ReadKeys, WhatTheReadDoesNotSetStaysAsItWas) {
    struct Case {
        const char* name;
        Array sent;
        int mode;
        bool hwCodeStays, listStays;
    };
    const Case cases[] = {
        {"not set", {0, 0}, MODE_NOT_SET, true, true},
        {"one code", {0, 1, 0x41}, MODE_SINGLE, false, true},
        {"double click", {0, 2, 130, 130}, MODE_MOUSE, false, true},
        {"combo", {0, 2, kHW_A, kHW_B}, MODE_COMBO, true, false},
        {"emulation", {1, 30, 1, kHW_A}, MODE_EMULATE, true, false},
        {"macro", {2, 0, 1, 0, 30, 1, kHW_A}, MODE_MACRO, true, false},
        {"emulation without codes", {1, 30, 0}, MODE_NOT_SET, true, true},
    };
    Simulated s;
    std::vector<std::pair<int, Array>> slots;
    for (std::size_t i = 0; i < std::size(cases); ++i)
        slots.emplace_back(static_cast<int>(i) + 1, cases[i].sent);
    s.Program(slots);

    CItemList previous = List(6, {L"Q", L"W"});
    previous.Delay = 77;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        s.model->keyMode[i + 1][0] = MODE_FUNCTION;
        s.model->keyHWCode[i + 1][0] = 150;
        s.model->keyList[i + 1][0] = previous;
    }
    ASSERT_TRUE(s.model->readKeysFromDevice(nullptr));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        EXPECT_EQ(s.model->keyMode[i + 1][0], c.mode) << c.name;
        EXPECT_EQ(s.model->keyHWCode[i + 1][0] == 150, c.hwCodeStays) << c.name;
        EXPECT_EQ(s.model->keyList[i + 1][0].SameContent(previous), c.listStays) << c.name;
    }
}

// --- Colours -------------------------------------------------------------------

TEST(Light, ColoursGoOutInKeyOrderAndComeBack) {
    Simulated s;
    for (int k = 1; k <= 104; ++k)
        s.model->keyColour[k] = {k, 255 - k, (k * 7) % 256};
    ASSERT_TRUE(s.model->writeLightToDevice());
    const auto area = s.keyboard.light();
    for (int k = 1; k <= 104; ++k) {
        EXPECT_EQ(area[3 * (k - 1)], k);
        EXPECT_EQ(area[3 * (k - 1) + 1], 255 - k);
        EXPECT_EQ(area[3 * (k - 1) + 2], (k * 7) % 256);
    }
    auto r = s.Reader();
    ASSERT_TRUE(r->readLightFromDevice());
    for (int k = 1; k <= 104; ++k)
        EXPECT_EQ(r->keyColour[k], s.model->keyColour[k]) << k;
    EXPECT_EQ(r->keyColour[0], (std::array<int, 3>{0, 0, 0}));
}

// --- Press counters ------------------------------------------------------------

TEST(PressCounters, MostAndLeastPressedKeys) {
    struct Case {
        const char* name;
        std::vector<std::pair<int, std::uint32_t>> counts; // key, count; 0 elsewhere
        int most, least;
    };
    const Case cases[] = {
        {"all zero", {}, -1, -1},
        {"0, 5, 3", {{2, 5}, {3, 3}}, 2, 3},
        {"tie for most", {{10, 9}, {4, 9}, {50, 1}}, 4, 50},
        {"tie for least", {{30, 2}, {20, 2}, {40, 8}}, 40, 20},
        {"only key 1", {{1, 6}}, 1, 1},
        {"only the last key", {{104, 1}}, 104, 104},
        // Above the range of int a count reads as negative: never most or least.
        {"negative counts", {{1, 0xFFFFFFFFu}, {5, 0x80000000u}, {6, 4}}, 6, 6},
    };
    for (const auto& c : cases) {
        Simulated s;
        std::array<std::uint32_t, 104> counters{};
        for (auto [key, count] : c.counts)
            counters[static_cast<std::size_t>(key - 1)] = count;
        s.keyboard.setCounters(counters);
        ASSERT_TRUE(s.model->readPressCounters()) << c.name;
        for (int k = 1; k <= 104; ++k)
            ASSERT_EQ(s.model->pressCount[k], static_cast<int>(counters[static_cast<std::size_t>(k - 1)])) << c.name;
        EXPECT_EQ(s.model->mostPressedKey, c.most) << c.name;
        EXPECT_EQ(s.model->leastPressedKey, c.least) << c.name;
    }
}

// --- Failed transfers -------------------------------------------------------

// Each operation, run on a model whose configuration and counters are set.
struct Operation {
    const char* name;
    bool (*run)(CTavoModel&, HWND);
    bool reads;
};
const Operation kOperations[] = {
    {"write keys", [](CTavoModel& m, HWND w) { return m.writeKeysToDevice(w); }, false},
    {"write light", [](CTavoModel& m, HWND) { return m.writeLightToDevice(); }, false},
    {"read counters", [](CTavoModel& m, HWND) { return m.readPressCounters(); }, true},
    {"read keys", [](CTavoModel& m, HWND w) { return m.readKeysFromDevice(w); }, true},
    {"read light", [](CTavoModel& m, HWND) { return m.readLightFromDevice(); }, true},
};

void FillModel(CTavoModel& m) {
    AssignEveryMode(m);
    for (int k = 1; k <= 104; ++k) {
        m.keyColour[k] = {k, k, k};
        m.pressCount[k] = k;
    }
    m.mostPressedKey = 104;
    m.leastPressedKey = 1;
}

TEST(FailedTransfers, NoOperationSucceedsWithoutAnOpenDevice) {
    for (const auto& op : kOperations) {
        auto m = NewModel();
        FillModel(*m);
        const Snapshot before(*m);
        EXPECT_FALSE(op.run(*m, nullptr)) << op.name;
        EXPECT_EQ(Snapshot(*m), before) << op.name;
    }
}

TEST(FailedTransfers, AKeyboardUnpluggedDuringATransferFailsIt) {
    for (const auto& op : kOperations) {
        Simulated s;
        FillModel(*s.model);
        const Snapshot before(*s.model);
        // A write loses the cable after its first reports, a read with its
        // request.
        s.keyboard.setFaults({.disconnectAfter = s.keyboard.reportsTaken() + (op.reads ? 1 : 3)});
        EXPECT_FALSE(op.run(*s.model, nullptr)) << op.name;
        if (op.reads) {
            EXPECT_EQ(Snapshot(*s.model), before) << op.name;
        }
    }
}

TEST(FailedTransfers, AReadTheKeyboardDoesNotAnswerTimesOutAndChangesNothing) {
    for (const auto& op : kOperations) {
        if (!op.reads)
            continue;
        Simulated s;
        FillModel(*s.model);
        const Snapshot before(*s.model);
        s.keyboard.setFaults({.silent = true});
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(op.run(*s.model, s.window.handle())) << op.name;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << op.name;
        EXPECT_EQ(Snapshot(*s.model), before) << op.name;
    }
}

// A keyboard whose answers break off: every reply of the simulated keyboard
// up to a limit arrives, the rest never does.
struct BrokenOff {
    sim::SimKeyboard keyboard{sim::Model::Vanta};
    std::shared_ptr<platform::MemoryHidDevice> device =
        std::make_shared<platform::MemoryHidDevice>(0x0483, 0x502b, 1);
    platform::MemoryHidAttachment attachment{device};
    std::shared_ptr<std::size_t> limit = std::make_shared<std::size_t>(SIZE_MAX);
    std::unique_ptr<CTavoModel> model = NewModel();

    BrokenOff() {
        device->setResponder([this, limit = limit](const platform::Report& out, std::vector<platform::Report>& replies) {
            std::vector<platform::Report> all;
            keyboard.handleReport(out, all);
            all.resize(std::min(all.size(), *limit));
            replies.insert(replies.end(), all.begin(), all.end());
        });
        EXPECT_TRUE(model->device.__createDev());
    }
};

TEST(FailedTransfers, AReadThatBreaksOffChangesNothingThoughTheLibraryHoldsPartOfIt) {
    BrokenOff b;
    // The keyboard holds keys, colours and counts that differ from the model.
    AssignEveryMode(*b.model);
    for (int k = 1; k <= 104; ++k)
        b.model->keyColour[k] = {1, 2, 3};
    ASSERT_TRUE(b.model->writeKeysToDevice(nullptr));
    ASSERT_TRUE(b.model->writeLightToDevice());
    std::array<std::uint32_t, 104> counters{};
    counters.fill(9);
    b.keyboard.setCounters(counters);

    // A fresh device object: its tables hold nothing of what was written.
    b.model->device.__closeDev();
    ASSERT_TRUE(b.model->device.__createDev());
    b.model->ResetKeySettings();
    b.model->MarkPressCountsNotRead();
    const Snapshot before(*b.model);
    *b.limit = 3; // the first slots, the first light and counter pieces
    for (const auto& op : kOperations) {
        if (op.reads) {
            EXPECT_FALSE(op.run(*b.model, nullptr)) << op.name;
        }
    }
    EXPECT_EQ(Snapshot(*b.model), before);

    // The library did take the first slot (key 1 of the top layer) and the
    // first colours; the model has none of it.
    Array v(8, -7);
    ASSERT_TRUE(b.model->device.getKeyConfiguration(0, 1, v.data(), 8));
    EXPECT_EQ(v, Padded({0, 1, kHW_A}, 8));
    int light[312] = {};
    ASSERT_TRUE(b.model->device.getKeyboardLightArea(light));
    EXPECT_EQ(light[0], 1);
    EXPECT_EQ(light[311], 0);

    // Once the keyboard answers in full, the same read goes through.
    *b.limit = SIZE_MAX;
    ASSERT_TRUE(b.model->readKeysFromDevice(nullptr));
    EXPECT_EQ(b.model->keyMode[1][0], MODE_SINGLE);
    EXPECT_EQ(b.model->keyMode[104][1], MODE_POWER);
}

} // namespace
