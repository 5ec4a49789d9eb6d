#include "KeyTables.h"
#include "TavoModel.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <set>

namespace {

using namespace keytables;

std::unique_ptr<CTavoModel> BuiltModel(int deviceType = 0) {
    auto model = std::make_unique<CTavoModel>();
    model->deviceType = deviceType;
    EXPECT_TRUE(model->BuildKeyTables());
    return model;
}

TEST(KeyTables, NameTableIsUniqueAscendingAndWithinNineBits) {
    std::set<int> codes;
    for (const auto& entry : kKeyNames) {
        EXPECT_GE(entry.code, 0);
        EXPECT_LE(entry.code, kKeyCodeMask);
        ASSERT_NE(entry.name, nullptr);
        EXPECT_NE(std::wstring(entry.name), L"") << entry.code;
        EXPECT_TRUE(codes.insert(entry.code).second) << entry.code;
    }
    EXPECT_EQ(codes.size(), 250u);
}

TEST(KeyTables, PairsAreOneToOneAndEveryPairedCodeHasAName) {
    std::set<int> hws, codes;
    std::set<int> named;
    for (const auto& entry : kKeyNames)
        named.insert(entry.code);
    for (const auto& pair : kHWPairs) {
        EXPECT_TRUE(hws.insert(pair.hw).second) << pair.hw;
        EXPECT_TRUE(codes.insert(pair.code).second) << pair.code;
        EXPECT_TRUE(named.count(pair.code)) << pair.hw;
        // The functions without a virtual-key code are their HW code + 256.
        if (pair.hw >= 108 && pair.hw <= 175) {
            EXPECT_EQ(pair.code, pair.hw + 256);
        }
    }
    EXPECT_EQ(hws.size(), 177u);
    // HW codes 1..175, 199 and 204 are the ones in use.
    for (int hw = 1; hw <= 175; ++hw)
        EXPECT_TRUE(hws.count(hw)) << hw;
    EXPECT_TRUE(hws.count(199));
    EXPECT_TRUE(hws.count(204));
}

TEST(KeyTables, CatalogueRowsFollowKeyIndexWithTheStatedLabels) {
    for (int k = 1; k <= kKeyCount; ++k) {
        const CatalogueKey* key = FindCatalogueKey(k);
        ASSERT_NE(key, nullptr) << k;
        EXPECT_EQ(key->index, k);
        EXPECT_NE(std::wstring(key->cap), L"");
        EXPECT_NE(std::wstring(key->name), L"");
    }
    EXPECT_EQ(FindCatalogueKey(0), nullptr);
    EXPECT_EQ(FindCatalogueKey(105), nullptr);
    EXPECT_EQ(FindCatalogueKey(-1), nullptr);

    struct Row {
        int index;
        const wchar_t* cap;
        const wchar_t* name;
    };
    const Row rows[] = {
        {1, L"Esc", L"Esc"},
        {14, L"~", L"~"},
        {41, L"\\", L"\\"},
        {68, L"Win", L"LWin"},
        {72, L"Fn", L"RWin"},
        {73, L"LMenu", L"RightApp"},
        {75, L"PrtScreen", L"PrintScreen"},
        {104, L"KPEnter", L"KPEnter"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(std::wstring(FindCatalogueKey(row.index)->cap), row.cap) << row.index;
        EXPECT_EQ(std::wstring(FindCatalogueKey(row.index)->name), row.name) << row.index;
    }
    // Exactly the keys 68, 69, 71..75 carry a second label of their own.
    int differing = 0;
    for (const auto& key : kCatalogue)
        differing += std::wstring(key.cap) != key.name;
    EXPECT_EQ(differing, 7);
}

TEST(KeyTables, MainBlockKeyIndexAndHWCodeNameTheSameKey) {
    // Up to 74 the key index is the HW code: a letter or digit cap names the
    // key whose HW code is its index.
    const auto model = BuiltModel();
    int checked = 0;
    for (int k = 1; k <= 74; ++k) {
        const std::wstring cap = FindCatalogueKey(k)->cap;
        if (cap.size() == 1 && std::iswalnum(static_cast<wint_t>(cap[0]))) {
            EXPECT_EQ(model->HWCodeName(k), cap) << k;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 36);
    // Key 72 is capped "Fn" but carries the HW code of Right Windows.
    EXPECT_EQ(model->HWCodeName(72), L"Right Windows");
    EXPECT_EQ(model->HWCodeName(68), L"Left Windows");
    EXPECT_EQ(model->HWCodeName(54), L"ENTER");
}

TEST(KeyTables, BuildFillsEveryTable) {
    const auto model = BuiltModel();
    EXPECT_EQ(model->language, "zh-CN");
    EXPECT_EQ(model->keyNames.size(), 250u);
    int nonZero = 0;
    for (int hw : model->keyCodeToHW)
        nonZero += hw != 0;
    EXPECT_EQ(nonZero, 177);
    EXPECT_EQ(model->hwToKeyCode[0], 1023);
    for (int hw = 1; hw < kCodeTableSize; ++hw) {
        const bool paired = hw <= 175 || hw == 199 || hw == 204;
        const int code = model->hwToKeyCode[static_cast<std::size_t>(hw)];
        if (paired) {
            EXPECT_EQ(model->keyCodeToHW[static_cast<std::size_t>(code)], hw) << hw;
            EXPECT_EQ(model->HWCodeToKeyCode(hw), code);
        } else {
            EXPECT_EQ(code, 0) << hw;
            EXPECT_EQ(model->HWCodeName(hw), L"-- --") << hw;
        }
    }
    EXPECT_EQ(model->modeNames[0][0], L"미설정");
    EXPECT_EQ(model->modeNames[1][4], L"Simulate keystrokes");
    for (const auto& set : model->modeNames)
        for (const auto& name : set)
            EXPECT_FALSE(name.empty());
}

TEST(KeyTables, BuildingTwiceGivesTheSameTables) {
    auto model = BuiltModel();
    const auto names = model->keyNames;
    const auto toHW = model->keyCodeToHW;
    const auto toCode = model->hwToKeyCode;
    model->language = "en-US";
    EXPECT_TRUE(model->BuildKeyTables());
    EXPECT_EQ(model->keyNames, names);
    EXPECT_EQ(model->keyCodeToHW, toHW);
    EXPECT_EQ(model->hwToKeyCode, toCode);
    EXPECT_EQ(model->language, "zh-CN");
}

TEST(KeyTables, KeyCodeName) {
    const auto model = BuiltModel();
    struct Case {
        int code;
        bool withDirection;
        const wchar_t* name;
    };
    const Case cases[] = {
        {65, true, L"A Down"},
        {65 + 512, true, L"A UP"},
        {65, false, L"A"},
        {65 + 512, false, L"A"},
        {300, true, L"-- --"},
        {300 + 512, false, L"-- --"},
        {0, true, L"-- --"},
        {269, true, L"(Enter) Down"},
        {455 + 512, true, L"Left Double Click UP"},
        {65 + 1024, false, L"A"}, // only the low bits name the key
        {-1, true, L"-- --"},
        {INT_MIN, false, L"-- --"},
        {INT_MAX, true, L"-- --"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(model->KeyCodeName(c.code, c.withDirection), c.name) << c.code;
}

TEST(KeyTables, HWCodeNameAndKeyCodeStayInsideTheTable) {
    const auto model = BuiltModel();
    struct Case {
        int hw;
        const wchar_t* name;
        int code;
    };
    const Case cases[] = {
        {77, L"Power", 333},     {1, L"ESC", 27},
        {107, L"(Enter)", 269},  {136, L"Backlight Macro", 392},
        {204, L"<>|", 226},      {0, L"-- --", 1023},
        {180, L"-- --", 0},      {-5, L"-- --", -1},
        {1023, L"-- --", 0},     {1024, L"-- --", -1},
        {100000, L"-- --", -1},  {INT_MAX, L"-- --", -1},
        {INT_MIN, L"-- --", -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(model->HWCodeName(c.hw), c.name) << c.hw;
        EXPECT_EQ(model->HWCodeToKeyCode(c.hw), c.code) << c.hw;
    }
}

TEST(KeyTables, NameOf392FollowsTheDeviceTypeAtBuildTime) {
    for (int type : {0, 1, 2, 3}) {
        auto model = BuiltModel(type);
        const std::wstring expected = type == 2 ? L"100% all light" : L"Backlight Macro";
        EXPECT_EQ(model->HWCodeName(136), expected) << type;
        EXPECT_EQ(model->codeFromStepText(expected), 136);
        // A keyboard attached later changes nothing.
        model->deviceType = type == 2 ? 1 : 2;
        EXPECT_EQ(model->HWCodeName(136), expected);
    }
}

TEST(KeyTables, CodeFromStepText) {
    const auto model = BuiltModel();
    struct Case {
        const wchar_t* text;
        int value;
    };
    const Case cases[] = {
        {L"<250 ms>", 250},
        {L"<30 ms>", 30},
        {L"<0 ms>", 0},
        {L"<65535 ms>", 65535},
        {L"<99999999999 ms>", INT_MAX},
        {L"<x ms>", 0},
        {L"ms>", 0},
        {L"<ms>", 0},
        {L"Left CTRL UP", 0},       // key code 17 has no HW code
        {L"Left CONTROL Down", 67}, // the right name, paired
        {L"Sleep", 0},              // key code 95 comes before 332
        {L"Wake Up", 75},
        {L"", 0},
        {L"A", 43},
        {L"A UP", 43},
        {L"A Down", 43},
        {L"a", 0},
        {L"A down", 0},
        {L"A Down UP", 0},
        {L"A ", 0},
        {L"(Enter) UP", 107},
        {L"Left Double Click", 199},
        {L"<>|", 204},
    };
    for (const auto& c : cases)
        EXPECT_EQ(model->codeFromStepText(c.text), c.value) << std::wstring(c.text).size();
    EXPECT_EQ(model->codeFromStepText(DelayItemText(1234)), 1234);
}

TEST(KeyTables, ModeNameFollowsTheLanguage) {
    auto model = BuiltModel();
    EXPECT_EQ(model->ModeName(MODE_MACRO), L"매크로");
    EXPECT_EQ(model->ModeName(MODE_POWER), L"전원 기능");
    model->language = "en-US";
    EXPECT_EQ(model->ModeName(MODE_NOT_SET), L"Not set");
    EXPECT_EQ(model->ModeName(MODE_POWER), L"Power");
    model->language = "fr-FR";
    EXPECT_EQ(model->ModeName(MODE_COMBO), L"Combo");
    EXPECT_EQ(model->ModeName(-1), L"");
    EXPECT_EQ(model->ModeName(9), L"");
}

TEST(KeyTables, LeadingDecimal) {
    struct Case {
        const wchar_t* text;
        int value;
    };
    const Case cases[] = {
        {L"0", 0},
        {L"42", 42},
        {L"42abc", 42},
        {L"abc", 0},
        {L"", 0},
        {L"-7", -7},
        {L"+7", 7},
        {L"  12", 12},
        {L"1 2", 1},
        {L"-", 0},
        {L"2147483647", INT_MAX},
        {L"2147483648", INT_MAX},
        {L"-2147483648", INT_MIN},
        {L"-99999999999999999999", INT_MIN},
        {L"00012", 12},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LeadingDecimal(c.text), c.value) << std::wstring(c.text).size();
}

} // namespace
