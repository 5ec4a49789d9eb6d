// The main window's element table: the command buttons, the layer switch, the
// 104 keys of the keyboard picture and the labels over the buttons.
#include "ElementBuilders.h"
#include "KeyTables.h"
#include "WindowLayouts.h"

#include <array>
#include <initializer_list>

namespace layout {
namespace {

using detail::image;
using detail::label;

struct ModelRects {
    int id;
    Rect vanta;
    Rect corv; // left == -1: not on a Corv
};

constexpr Rect kAbsent{};
constexpr Rect kCountersButton{998, 580, 1093, 616};
constexpr Rect kCountersLabelRect{998, 589, 1093, 616};

// Image buttons before the keys, in table order.
constexpr std::array<ModelRects, 12> kButtons{{
    {85, {750, 92, 845, 128}, {645, 92, 737, 128}},     // language
    {87, {1167, 20, 1192, 50}, {1167, 20, 1192, 50}},   // help
    {88, {1140, 20, 1165, 50}, {1140, 20, 1165, 50}},   // hide in the notification area
    {89, {1194, 20, 1219, 50}, {1194, 20, 1219, 50}},   // exit
    {90, {15, 92, 110, 128}, {15, 92, 110, 128}},       // save profile
    {91, {120, 92, 215, 128}, {120, 92, 215, 128}},     // open profile
    {92, {225, 92, 325, 128}, {225, 92, 325, 128}},     // clear
    {93, {330, 92, 430, 128}, {330, 92, 430, 128}},     // write keys
    {94, {435, 92, 535, 128}, kAbsent},                 // backlight settings
    {95, {540, 92, 635, 128}, {435, 92, 535, 128}},     // read everything
    {96, {645, 92, 737, 128}, {540, 92, 635, 128}},     // firmware update
    {97, {1113, 80, 1163, 135}, {1113, 80, 1163, 135}}, // layer switch
}};

struct LabelRow {
    int id;
    const wchar_t* local;
    const wchar_t* english;
    Rect vanta;
    Rect corv;
    unsigned format;
    ColorRef selectedColor;
};

constexpr std::array<LabelRow, 10> kLabels{{
    {65,
     L"English",
     L"한글",
     {752, 101, 845, 130},
     {650, 101, 735, 130},
     kTextCenter,
     detail::kLabelGrey},
    {70,
     L"저장",
     L"Save",
     {18, 101, 110, 130},
     {18, 101, 110, 130},
     kTextCenter,
     detail::kLabelGrey},
    {71,
     L"열기",
     L"Open",
     {124, 101, 215, 130},
     {124, 101, 215, 130},
     kTextCenter,
     detail::kLabelGrey},
    {72,
     L"초기화",
     L"Clear",
     {225, 101, 325, 130},
     {225, 101, 325, 130},
     kTextCenter,
     detail::kLabelGrey},
    {73,
     L"설정적용",
     L"WriteKeys",
     {330, 101, 430, 130},
     {330, 101, 430, 130},
     kTextCenter,
     detail::kLabelGrey},
    {74, L"LED설정", L"LightSet", {435, 101, 535, 130}, kAbsent, kTextCenter, detail::kLabelGrey},
    {75,
     L"불러오기",
     L"ReadAll",
     {540, 101, 635, 130},
     {435, 101, 535, 130},
     kTextCenter,
     detail::kLabelGrey},
    {76,
     L"펌웨어",
     L"Update",
     {645, 101, 735, 130},
     {540, 101, 635, 130},
     kTextCenter,
     detail::kLabelGrey},
    {77,
     L"기본키 설정",
     L"TopLayer",
     {1050, 100, 1110, 125},
     {1050, 100, 1110, 125},
     kTextRight,
     detail::kLabelGreen},
    {78,
     L"FN 조합키 설정",
     L"FnLayer",
     {1165, 100, 1250, 125},
     {1165, 100, 1250, 125},
     kTextLeft,
     detail::kLabelGreen},
}};

// One row of keys: the shared top and bottom, then key index and left-right.
struct KeySpan {
    int key;
    int left;
    int right;
};

struct KeyRow {
    int top;
    int bottom;
    std::initializer_list<KeySpan> keys;
};

const KeyRow kKeyRows[] = {
    {168,
     216,
     {{1, 124, 170},
      {2, 216, 262},
      {3, 262, 308},
      {4, 308, 354},
      {5, 354, 400},
      {6, 422, 468},
      {7, 468, 514},
      {8, 514, 560},
      {9, 560, 606},
      {10, 628, 674},
      {11, 674, 720},
      {12, 720, 766},
      {13, 766, 812}}},
    {226,
     273,
     {{14, 124, 170},
      {15, 170, 216},
      {16, 216, 262},
      {17, 262, 308},
      {18, 308, 354},
      {19, 354, 400},
      {20, 400, 446},
      {21, 446, 491},
      {22, 491, 536},
      {23, 536, 582},
      {24, 582, 628},
      {25, 628, 674},
      {26, 674, 720},
      {27, 720, 810}}},
    {273,
     320,
     {{28, 124, 193},
      {29, 193, 239},
      {30, 239, 285},
      {31, 285, 331},
      {32, 331, 377},
      {33, 377, 423},
      {34, 423, 469},
      {35, 469, 515},
      {36, 515, 561},
      {37, 561, 607},
      {38, 607, 653},
      {39, 653, 699},
      {40, 699, 745},
      {41, 745, 810}}},
    {320,
     367,
     {{42, 124, 210},
      {43, 210, 256},
      {44, 256, 302},
      {45, 302, 348},
      {46, 348, 394},
      {47, 394, 440},
      {48, 440, 486},
      {49, 486, 532},
      {50, 532, 578},
      {51, 578, 624},
      {52, 624, 670},
      {53, 670, 716},
      {54, 716, 811}}},
    {367,
     414,
     {{55, 124, 235},
      {56, 235, 281},
      {57, 281, 327},
      {58, 327, 373},
      {59, 373, 419},
      {60, 419, 465},
      {61, 465, 511},
      {62, 511, 557},
      {63, 557, 603},
      {64, 603, 649},
      {65, 649, 695},
      {66, 695, 810}}},
    {414,
     461,
     {{67, 124, 180},
      {68, 180, 236},
      {69, 236, 292},
      {70, 292, 587},
      {71, 587, 643},
      {72, 643, 699},
      {73, 699, 755},
      {74, 755, 811}}},
    {168, 215, {{75, 822, 868}, {76, 868, 914}, {77, 914, 960}}},
    {225,
     272,
     {{78, 822, 868},
      {79, 868, 914},
      {80, 914, 960},
      {88, 968, 1014},
      {89, 1014, 1060},
      {90, 1060, 1106},
      {91, 1106, 1152}}},
    {272,
     319,
     {{81, 822, 868},
      {82, 868, 914},
      {83, 914, 960},
      {92, 968, 1014},
      {93, 1014, 1060},
      {94, 1060, 1106}}},
    {366, 413, {{84, 868, 914}, {99, 968, 1014}, {100, 1014, 1060}, {101, 1060, 1106}}},
    {413,
     460,
     {{85, 822, 868}, {86, 868, 914}, {87, 914, 960}, {102, 968, 1060}, {103, 1060, 1106}}},
    {272, 366, {{95, 1106, 1152}}},
    {319, 366, {{96, 968, 1014}, {97, 1014, 1060}, {98, 1060, 1106}}},
    {366, 460, {{104, 1106, 1152}}},
};

std::array<Rect, keytables::kKeyCount + 1> keyRects() {
    std::array<Rect, keytables::kKeyCount + 1> rects{};
    for (const KeyRow& row : kKeyRows)
        for (const KeySpan& k : row.keys)
            rects[static_cast<std::size_t>(k.key)] = {k.left, row.top, k.right, row.bottom};
    return rects;
}

} // namespace

std::vector<SkinElement> mainWindowElements(int deviceType) {
    const bool corv = deviceType == kCorvDeviceType;
    std::vector<SkinElement> table;
    table.reserve(128);
    for (const ModelRects& b : kButtons) {
        const Rect r = corv ? b.corv : b.vanta;
        table.push_back(r.left < 0 ? SkinElement{} : image(b.id, r));
    }
    const auto rects = keyRects();
    for (const keytables::CatalogueKey& key : keytables::kCatalogue) {
        SkinElement e = image(99 + key.index, rects[static_cast<std::size_t>(key.index)]);
        e.keyIndex = key.index;
        e.text = {{"zh-CN", key.cap}, {"en-US", key.cap}};
        e.tip = {{"zh-CN", key.name}};
        table.push_back(std::move(e));
    }
    for (const LabelRow& l : kLabels) {
        const Rect r = corv ? l.corv : l.vanta;
        if (r.left < 0) {
            table.emplace_back();
            continue;
        }
        SkinElement e = label(l.id, r, l.local, l.english, l.format);
        e.selectedColor = l.selectedColor;
        table.push_back(std::move(e));
    }
    // The table's two spare places: the press counter read, a button in the
    // model card beside the information panel, then its label over it.
    table.push_back(image(kReadCountersCommand, kCountersButton));
    table.push_back(
        label(kCountersLabel, kCountersLabelRect, L"누름 횟수", L"Counts", kTextCenter));
    return detail::padded(std::move(table), windowInfo(Window::Main, deviceType).elementCount);
}

} // namespace layout
