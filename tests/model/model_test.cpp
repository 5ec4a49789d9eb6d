#include "TavoModel.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>

namespace {

std::unique_ptr<CTavoModel> ReadyModel() {
    auto model = std::make_unique<CTavoModel>();
    model->BuildKeyTables();
    model->ResetKeySettings();
    return model;
}

CItemList ListOf(int sizeOfView, std::initializer_list<const wchar_t*> texts) {
    CItemList list(sizeOfView);
    for (const auto* text : texts)
        list.SetItem(20000, text);
    return list;
}

TEST(Model, InitialValues) {
    const auto model = std::make_unique<CTavoModel>();
    EXPECT_EQ(model->language, "");
    EXPECT_EQ(model->deviceType, 0);
    EXPECT_EQ(model->keysNotWritten, 0);
    EXPECT_EQ(model->ignoreClicks, 0);
    EXPECT_TRUE(model->keyNames.empty());
    for (int v : model->keyCodeToHW)
        ASSERT_EQ(v, 0);
    for (int v : model->hwToKeyCode)
        ASSERT_EQ(v, 0);
    for (const auto& set : model->modeNames)
        for (const auto& name : set)
            EXPECT_TRUE(name.empty());
    EXPECT_EQ(model->currentKey, 0);
    EXPECT_EQ(model->currentLayer, 0);
    for (const CItemList* library :
         {&model->predefinedMacros, &model->predefinedCombos, &model->predefinedEmulations}) {
        EXPECT_TRUE(library->IsEmpty());
        EXPECT_EQ(library->SizeOfView, 0);
    }
    for (int k = 0; k < CTavoModel::kKeyRows; ++k) {
        for (int c = 0; c < 3; ++c) {
            ASSERT_EQ(model->keyColour[k][c], 0);
            ASSERT_EQ(model->multiColour[k][c], 0);
        }
        for (int l = 0; l < CTavoModel::kLayers; ++l) {
            ASSERT_EQ(model->keyMode[k][l], MODE_NOT_SET);
            ASSERT_EQ(model->keyHWCode[k][l], 0);
            ASSERT_TRUE(model->keyList[k][l].IsEmpty());
            ASSERT_EQ(model->keyList[k][l].SizeOfView, 0);
        }
        // Every byte 200: every counter reads as not read.
        int expected;
        std::memset(&expected, 200, sizeof expected);
        ASSERT_EQ(model->pressCount[k], expected);
        ASSERT_LT(model->pressCount[k], 0);
        ASSERT_FALSE(model->multiSelected[k]);
    }
    EXPECT_EQ(model->mostPressedKey, -1);
    EXPECT_EQ(model->leastPressedKey, -1);
    EXPECT_EQ(model->pickRed, 0);
    EXPECT_EQ(model->pickGreen, 0);
    EXPECT_EQ(model->pickBlue, 0);
    EXPECT_EQ(model->progressWindow, nullptr);
    EXPECT_TRUE(model->firmwarePath.empty());
}

TEST(Model, MarkPressCountsNotReadForgetsEveryCount) {
    auto model = ReadyModel();
    for (int k = 0; k < CTavoModel::kKeyRows; ++k)
        model->pressCount[k] = k;
    model->mostPressedKey = 104;
    model->leastPressedKey = 1;
    model->keysNotWritten = 1;
    model->MarkPressCountsNotRead();
    const CTavoModel fresh;
    EXPECT_EQ(model->pressCount, fresh.pressCount);
    for (int count : model->pressCount)
        EXPECT_LT(count, 0);
    EXPECT_EQ(model->mostPressedKey, -1);
    EXPECT_EQ(model->leastPressedKey, -1);
    EXPECT_EQ(model->keysNotWritten, 1);
}

TEST(Model, GlobalModelIsSeparateFromOwnModels) {
    auto own = ReadyModel();
    own->keyMode[5][1] = MODE_MACRO;
    own->predefinedCombos.SetItem(200000, L"mine");
    EXPECT_NE(&g_model, own.get());
    EXPECT_NE(g_model.keyMode[5][1], MODE_MACRO);
    EXPECT_TRUE(g_model.predefinedCombos.IsEmpty());
}

TEST(Model, ResetKeySettingsClearsTheKeyConfigurationOnly) {
    auto model = ReadyModel();
    model->predefinedMacros.SetItem(200000, L"m");
    model->predefinedMacros.SizeOfView = 3;
    model->predefinedCombos.SetItem(200000, L"c");
    model->predefinedCombos.Delay = 5;
    model->predefinedEmulations.SetItem(200000, L"e");
    for (int k = 0; k < CTavoModel::kKeyRows; ++k) {
        model->keyColour[k] = {k, 2 * k, 255};
        for (int l = 0; l < CTavoModel::kLayers; ++l) {
            model->keyMode[k][l] = MODE_COMBO;
            model->keyHWCode[k][l] = 500;
            model->keyList[k][l] = ListOf(6, {L"A"});
            model->keyList[k][l].Cycles = 3;
        }
    }
    model->keysNotWritten = 1;
    model->ignoreClicks = 1;
    model->pressCount[7] = 12;
    model->mostPressedKey = 7;
    model->language = "en-US";
    model->currentKey = 9;
    model->currentLayer = 1;
    model->multiSelected[3] = true;

    model->ResetKeySettings();

    struct Library {
        const CItemList& list;
        int sizeOfView;
    };
    for (const Library& library :
         {Library{model->predefinedMacros, 9}, Library{model->predefinedCombos, 6},
          Library{model->predefinedEmulations, 9}}) {
        EXPECT_TRUE(library.list.IsEmpty());
        EXPECT_EQ(library.list.SizeOfView, library.sizeOfView);
        EXPECT_TRUE(library.list.SameContent(CItemList()));
    }
    for (int k = 0; k < CTavoModel::kKeyRows; ++k) {
        for (int c = 0; c < 3; ++c)
            ASSERT_EQ(model->keyColour[k][c], 0);
        for (int l = 0; l < CTavoModel::kLayers; ++l) {
            ASSERT_EQ(model->keyMode[k][l], MODE_NOT_SET);
            ASSERT_EQ(model->keyHWCode[k][l], k);
            const CItemList& list = model->keyList[k][l];
            ASSERT_TRUE(list.IsEmpty());
            ASSERT_EQ(list.Cycles, 1);
            ASSERT_EQ(list.SizeOfView, 6); // the list's view size stays
            ASSERT_EQ(model->KeyAssignmentText(k, l), L"");
        }
    }
    EXPECT_EQ(model->keysNotWritten, 1);
    EXPECT_EQ(model->ignoreClicks, 1);
    EXPECT_EQ(model->pressCount[7], 12);
    EXPECT_EQ(model->mostPressedKey, 7);
    EXPECT_EQ(model->language, "en-US");
    EXPECT_EQ(model->currentKey, 9);
    EXPECT_EQ(model->currentLayer, 1);
    EXPECT_TRUE(model->multiSelected[3]);
    EXPECT_EQ(model->keyNames.size(), 250u);
}

TEST(Model, KeyAssignmentTextByMode) {
    auto model = ReadyModel();
    struct Case {
        const char* what;
        int mode;
        int hw;
        std::initializer_list<const wchar_t*> items;
        const wchar_t* text;
    };
    const Case cases[] = {
        {"single key", MODE_SINGLE, 43, {}, L"A"},
        {"single without a name", MODE_SINGLE, 180, {}, L"-- --"},
        {"single outside the table", MODE_SINGLE, 5000, {}, L"-- --"},
        {"multimedia", MODE_MULTIMEDIA, 108, {}, L"Next track"},
        {"mouse", MODE_MOUSE, 199, {}, L"Left Double Click"},
        {"function", MODE_FUNCTION, 156, {}, L"FN"},
        {"power", MODE_POWER, 77, {}, L"Power"},
        {"combo",
         MODE_COMBO,
         0,
         {L"Left CONTROL", L"Left Alt", L"DEL"},
         L"Left CONTROL | Left Alt | DEL"},
        {"emulation", MODE_EMULATE, 0, {L"H", L"I"}, L"H | I"},
        {"empty combo", MODE_COMBO, 0, {}, L""},
        {"macro", MODE_MACRO, 0, {L"A Down", L"<30 ms>", L"A UP"}, L"A,30,A"},
        {"macro items kept whole",
         MODE_MACRO,
         0,
         {L"<>", L"<a>b>", L" UP", L"Down", L" Down", L"X UP", L"<1 ms> "},
         L"<>,<a>b>, UP,Down, Down,X,<1 ms> "},
        {"not set ignores the list", MODE_NOT_SET, 43, {L"A"}, L""},
        {"unknown mode", 9, 43, {L"A"}, L""},
        {"negative mode", -1, 43, {L"A"}, L""},
    };
    for (const auto& c : cases) {
        model->keyMode[10][1] = c.mode;
        model->keyHWCode[10][1] = c.hw;
        model->keyList[10][1] = ListOf(9, c.items);
        EXPECT_EQ(model->KeyAssignmentText(10, 1), c.text) << c.what;
        EXPECT_EQ(model->KeyAssignmentText(10, 0), L"") << c.what; // the other layer
    }
}

TEST(Model, LongMacroTextIsCutAfterTheItemThatPassesTheLimit) {
    auto model = ReadyModel();
    model->keyMode[3][0] = MODE_MACRO;
    CItemList steps(9);
    for (int i = 0; i < 100; ++i) {
        steps.SetItem(20000, L"PAGE DOWN Down");
        steps.SetItem(20000, DelayItemText(1000 + i));
    }
    model->keyList[3][0] = steps;
    const std::wstring text = model->KeyAssignmentText(3, 0);
    const std::wstring tail = L" ... ...";
    ASSERT_GT(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    const std::wstring shown = text.substr(0, text.size() - tail.size());
    EXPECT_GT(shown.size(), 120u);
    EXPECT_LE(shown.size(), 120u + std::wstring(L",PAGE DOWN").size());
    EXPECT_EQ(shown.substr(0, 19), L"PAGE DOWN,1000,PAGE");

    // Exactly at the limit nothing is added.
    CItemList exact(9);
    exact.SetItem(20000, std::wstring(120, L'x').c_str());
    model->keyList[3][0] = exact;
    EXPECT_EQ(model->KeyAssignmentText(3, 0), std::wstring(120, L'x'));
}

TEST(Model, KeyAssignmentTextOutsideTheTablesIsEmpty) {
    auto model = ReadyModel();
    for (auto [k, l] : {std::pair{-1, 0}, {105, 0}, {1, 2}, {1, -1}, {INT_MAX, 0}})
        EXPECT_EQ(model->KeyAssignmentText(k, l), L"") << k << "/" << l;
}

} // namespace
