// The windows' element tables: sizes, the keys of the keyboard pictures, the
// labels over their buttons and the differences between the two models.
#include "KeyTables.h"
#include "WindowLayouts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

namespace {

using layout::Rect;
using layout::SkinElement;
using layout::Window;

constexpr int kVanta = 0;
constexpr int kCorv = 2;

bool overlap(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

int overlapArea(const Rect& a, const Rect& b) {
    const int w = std::min(a.right, b.right) - std::max(a.left, b.left);
    const int h = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    return w > 0 && h > 0 ? w * h : 0;
}

const SkinElement* find(const std::vector<SkinElement>& table, int id, bool isLabel) {
    for (const SkinElement& e : table)
        if (e.id == id && (e.isLabel != 0) == isLabel)
            return &e;
    return nullptr;
}

// The first element in array order that takes clicks at (x, y): the hit test
// the dialogs run.
const SkinElement* hit(const std::vector<SkinElement>& table, int x, int y) {
    for (const SkinElement& e : table)
        if (e.id > 0 && !e.isLabel && e.rect.contains(x, y))
            return &e;
    return nullptr;
}

std::wstring text(const SkinElement& e, const std::string& language) {
    auto it = e.text.find(language);
    return it == e.text.end() ? std::wstring() : it->second;
}

struct TableCase {
    const char* name;
    Window window;
    int deviceType;
    std::vector<SkinElement> (*make)(int deviceType);
};

std::vector<SkinElement> progress(int) {
    return layout::progressElements();
}
std::vector<SkinElement> firmware(int) {
    return layout::firmwareElements();
}
std::vector<SkinElement> backlight(int) {
    return layout::backlightElements();
}
std::vector<SkinElement> multiSelect(int) {
    return layout::multiSelectElements();
}
std::vector<SkinElement> keyEditor(int device) {
    return layout::keyEditorElements(device);
}

const TableCase kTables[] = {
    {"main Vanta", Window::Main, kVanta, layout::mainWindowElements},
    {"main Corv", Window::Main, kCorv, layout::mainWindowElements},
    {"progress", Window::Progress, kVanta, progress},
    {"firmware", Window::Firmware, kVanta, firmware},
    {"key editor Vanta", Window::KeyEditor, kVanta, keyEditor},
    {"key editor Corv", Window::KeyEditor, kCorv, keyEditor},
    {"backlight", Window::Backlight, kVanta, backlight},
    {"multi-select", Window::MultiSelect, kVanta, multiSelect},
};

int filled(const std::vector<SkinElement>& table) {
    return static_cast<int>(
        std::count_if(table.begin(), table.end(), [](const SkinElement& e) { return e.id > 0; }));
}

TEST(WindowTables, HaveTheirArraySizeAndLieInsideTheWindowOutline) {
    for (const TableCase& c : kTables) {
        SCOPED_TRACE(c.name);
        const auto info = layout::windowInfo(c.window, c.deviceType);
        const auto table = c.make(c.deviceType);
        ASSERT_EQ(static_cast<int>(table.size()), info.elementCount);
        int used = 0;
        for (const SkinElement& e : table) {
            if (e.id < 1)
                continue;
            ++used;
            SCOPED_TRACE(e.id);
            EXPECT_LT(e.rect.left, e.rect.right);
            EXPECT_LT(e.rect.top, e.rect.bottom);
            // Every corner pixel of the element lies inside the shape.
            for (int x : {e.rect.left, e.rect.right - 1})
                for (int y : {e.rect.top, e.rect.bottom - 1})
                    EXPECT_TRUE(layout::insideOutline(c.window, x, y)) << x << "," << y;
        }
        EXPECT_GT(used, 0);
    }
}

TEST(WindowTables, FillAsManySlotsAsTheirElementListsHold) {
    // A table longer than its array would lose its last elements.
    // The main window's last two are the Counts button and its label.
    EXPECT_EQ(filled(layout::mainWindowElements(kVanta)), 128);
    EXPECT_EQ(filled(layout::mainWindowElements(kCorv)), 126);
    const auto main = layout::mainWindowElements(kVanta);
    EXPECT_EQ(main[126].id, layout::kReadCountersCommand);
    EXPECT_EQ(main[127].id, layout::kCountersLabel);
    EXPECT_EQ(filled(layout::progressElements()), 5);
    EXPECT_EQ(filled(layout::firmwareElements()), 11);
    EXPECT_EQ(filled(layout::keyEditorElements(kVanta)), 205);
    EXPECT_EQ(filled(layout::keyEditorElements(kCorv)), 204);
    EXPECT_EQ(filled(layout::backlightElements()), 120);
    EXPECT_EQ(filled(layout::multiSelectElements()), 108);
}

TEST(WindowTables, ColourKeysAndCounts) {
    EXPECT_EQ(layout::windowInfo(Window::Main, kVanta).colourKey, 0xFF0000u);
    EXPECT_EQ(layout::windowInfo(Window::Progress, kVanta).colourKey, 0x0000FFu);
    EXPECT_EQ(layout::windowInfo(Window::Firmware, kVanta).colourKey, 0x0000FFu);
    EXPECT_EQ(layout::windowInfo(Window::KeyEditor, kVanta).colourKey, 0x0000FFu);
    EXPECT_EQ(layout::windowInfo(Window::Backlight, kVanta).colourKey, 0xFF0301u);
    EXPECT_EQ(layout::windowInfo(Window::MultiSelect, kVanta).colourKey, 0xFF0301u);
    EXPECT_EQ(layout::windowInfo(Window::Main, kCorv).elementCount, 128);
    EXPECT_EQ(layout::windowInfo(Window::KeyEditor, kVanta).elementCount, 218);
    EXPECT_EQ(layout::windowInfo(Window::Backlight, kVanta).elementCount, 120);
    EXPECT_EQ(layout::windowInfo(Window::MultiSelect, kVanta).elementCount, 108);
}

TEST(WindowOutline, RoundsTheCornersAndHoldsTheEdges) {
    const auto info = layout::windowInfo(Window::Main, kVanta);
    EXPECT_FALSE(layout::insideOutline(Window::Main, 0, 0));
    EXPECT_FALSE(layout::insideOutline(Window::Main, info.width - 1, info.height - 1));
    EXPECT_FALSE(layout::insideOutline(Window::Main, info.width, 300));
    EXPECT_FALSE(layout::insideOutline(Window::Main, -1, 300));
    EXPECT_TRUE(layout::insideOutline(Window::Main, 0, 300));
    EXPECT_TRUE(layout::insideOutline(Window::Main, info.width - 1, 300));
    EXPECT_TRUE(layout::insideOutline(Window::Main, 600, info.height - 1));
    EXPECT_TRUE(layout::insideOutline(Window::Main, 30, 30));
    // The four corners are mirror images of each other.
    const int r = layout::outlineRadius(Window::Main);
    for (int x = 0; x < r; ++x)
        for (int y = 0; y < r; ++y) {
            const bool in = layout::insideOutline(Window::Main, x, y);
            EXPECT_EQ(in, layout::insideOutline(Window::Main, info.width - 1 - x, y));
            EXPECT_EQ(in, layout::insideOutline(Window::Main, x, info.height - 1 - y));
        }
}

TEST(MainWindowTable, HoldsEveryKeyOnceInKeyIndexOrderOnBothModels) {
    for (int device : {kVanta, kCorv}) {
        SCOPED_TRACE(device);
        const auto table = layout::mainWindowElements(device);
        std::vector<int> keyOrder;
        for (const SkinElement& e : table) {
            if (e.id < 100)
                continue;
            EXPECT_EQ(e.id, 99 + e.keyIndex);
            EXPECT_FALSE(e.isLabel);
            const auto* cap = keytables::FindCatalogueKey(e.keyIndex);
            ASSERT_NE(cap, nullptr);
            EXPECT_EQ(text(e, "zh-CN"), cap->cap);
            EXPECT_EQ(text(e, "en-US"), cap->cap);
            EXPECT_EQ(e.tip.at("zh-CN"), cap->name);
            keyOrder.push_back(e.keyIndex);
        }
        ASSERT_EQ(keyOrder.size(), 104u);
        for (int k = 1; k <= 104; ++k)
            EXPECT_EQ(keyOrder[static_cast<std::size_t>(k - 1)], k);
    }
}

TEST(MainWindowTable, KeysDoNotOverlapAndRightBottomEdgesAreExclusive) {
    const auto table = layout::mainWindowElements(kVanta);
    std::vector<const SkinElement*> keys;
    for (const SkinElement& e : table)
        if (e.keyIndex > 0)
            keys.push_back(&e);
    for (std::size_t i = 0; i < keys.size(); ++i)
        for (std::size_t j = i + 1; j < keys.size(); ++j)
            EXPECT_FALSE(overlap(keys[i]->rect, keys[j]->rect))
                << keys[i]->keyIndex << " and " << keys[j]->keyIndex;

    struct Point {
        int x, y, key;
    };
    const Point points[] = {
        {262, 200, 3},   {261, 200, 2},  {124, 168, 1},   {169, 215, 1},    {300, 430, 70},
        {586, 460, 70},  {587, 460, 71}, {1110, 300, 95}, {1110, 400, 104}, {1000, 430, 102},
        {1152, 300, -1}, {123, 168, -1}, {400, 190, -1}, // the gap between F4 and F5
    };
    for (const Point& p : points) {
        SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
        const SkinElement* e = hit(table, p.x, p.y);
        EXPECT_EQ(e ? e->keyIndex : -1, p.key);
    }
}

TEST(MainWindowTable, CorvHasNoBacklightButtonAndMovesReadAllAndUpdateLeft) {
    const auto vanta = layout::mainWindowElements(kVanta);
    const auto corv = layout::mainWindowElements(kCorv);
    ASSERT_NE(find(vanta, 94, false), nullptr);
    ASSERT_NE(find(vanta, 74, true), nullptr);
    EXPECT_EQ(find(corv, 94, false), nullptr);
    EXPECT_EQ(find(corv, 74, true), nullptr);
    // The slots stay where they are, so both tables keep the same order.
    ASSERT_EQ(vanta.size(), corv.size());
    for (std::size_t i = 0; i < vanta.size(); ++i) {
        if (corv[i].id != -1) {
            EXPECT_EQ(corv[i].id, vanta[i].id) << i;
        }
    }

    struct Moved {
        int id;
        bool isLabel;
        Rect vanta, corv;
    };
    const Moved moved[] = {
        {95, false, {540, 92, 635, 128}, {435, 92, 535, 128}},
        {96, false, {645, 92, 737, 128}, {540, 92, 635, 128}},
        {85, false, {750, 92, 845, 128}, {645, 92, 737, 128}},
        {75, true, {540, 101, 635, 130}, {435, 101, 535, 130}},
        {76, true, {645, 101, 735, 130}, {540, 101, 635, 130}},
        {65, true, {752, 101, 845, 130}, {650, 101, 735, 130}},
        {90, false, {15, 92, 110, 128}, {15, 92, 110, 128}},
    };
    for (const Moved& m : moved) {
        SCOPED_TRACE(m.id);
        const SkinElement* v = find(vanta, m.id, m.isLabel);
        const SkinElement* c = find(corv, m.id, m.isLabel);
        ASSERT_NE(v, nullptr);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(std::tie(v->rect.left, v->rect.top, v->rect.right, v->rect.bottom),
                  std::tie(m.vanta.left, m.vanta.top, m.vanta.right, m.vanta.bottom));
        EXPECT_EQ(std::tie(c->rect.left, c->rect.top, c->rect.right, c->rect.bottom),
                  std::tie(m.corv.left, m.corv.top, m.corv.right, m.corv.bottom));
    }
}

// Which button each label names, per window.
struct Naming {
    int label;
    int button;
};

void expectLabelsOverButtons(const std::vector<SkinElement>& table,
                             std::initializer_list<Naming> namings) {
    for (const Naming& n : namings) {
        SCOPED_TRACE("label " + std::to_string(n.label));
        const SkinElement* l = find(table, n.label, true);
        const SkinElement* b = find(table, n.button, false);
        if (!l && !b)
            continue; // neither exists on this model
        ASSERT_NE(l, nullptr);
        ASSERT_NE(b, nullptr);
        // Most of the label lies on its button and its centre hits the button.
        EXPECT_GE(overlapArea(l->rect, b->rect) * 10, l->rect.width() * l->rect.height() * 8);
        const int cx = (l->rect.left + l->rect.right) / 2;
        const int cy = (l->rect.top + l->rect.bottom) / 2;
        const SkinElement* under = hit(table, cx, cy);
        ASSERT_NE(under, nullptr);
        EXPECT_EQ(under->id, n.button);
    }
}

TEST(WindowTables, LabelsLieOverTheButtonsTheyName) {
    for (int device : {kVanta, kCorv}) {
        SCOPED_TRACE(device);
        expectLabelsOverButtons(
            layout::mainWindowElements(device),
            {{65, 85}, {70, 90}, {71, 91}, {72, 92}, {73, 93}, {74, 94}, {75, 95}, {76, 96}});
    }
    expectLabelsOverButtons(layout::progressElements(), {{193, 93}});
    expectLabelsOverButtons(layout::firmwareElements(),
                            {{190, 90}, {191, 91}, {192, 92}, {193, 93}});
    expectLabelsOverButtons(layout::backlightElements(),
                            {{89, 89}, {90, 90}, {91, 91}, {92, 92}, {94, 94}, {95, 95}, {97, 97}});
    expectLabelsOverButtons(layout::multiSelectElements(), {{97, 97}});
    for (int device : {kVanta, kCorv})
        for (int page = 1; page <= layout::kKeyEditorPages; ++page)
            expectLabelsOverButtons(layout::keyEditorElements(page, device),
                                    {{37, 87},   {38, 88},   {39, 89},   {30, 90},   {31, 91},
                                     {32, 92},   {33, 93},   {34, 94},   {35, 95},   {36, 96},
                                     {154, 104}, {156, 105}, {157, 106}, {159, 107}, {265, 205},
                                     {266, 206}, {267, 207}, {352, 302}, {355, 305}, {356, 306},
                                     {552, 502}, {564, 514}, {751, 701}, {752, 702}, {753, 703}});
}

// The keys of the backlight pictures: each once, and far enough apart that
// the 2-pixel colour frame drawn around a key touches no other key.
TEST(BacklightTables, KeysAndTheirColourFramesStayApart) {
    for (const auto& table : {layout::backlightElements(), layout::multiSelectElements()}) {
        std::vector<const SkinElement*> keys;
        for (const SkinElement& e : table) {
            if (e.id >= 100) {
                EXPECT_EQ(e.id, 99 + e.keyIndex);
                keys.push_back(&e);
            }
        }
        ASSERT_EQ(keys.size(), 104u);
        for (std::size_t i = 0; i < keys.size(); ++i) {
            EXPECT_EQ(keys[i]->keyIndex, static_cast<int>(i) + 1);
            const Rect& r = keys[i]->rect;
            const Rect frame{r.left - 2, r.top - 2, r.right + 2, r.bottom + 2};
            for (std::size_t j = 0; j < keys.size(); ++j) {
                if (j != i) {
                    EXPECT_FALSE(overlap(frame, keys[j]->rect))
                        << keys[i]->keyIndex << " and " << keys[j]->keyIndex;
                }
            }
        }
    }
    const auto table = layout::backlightElements();
    // A label carries its button's ID, so a click just past the button acts alike.
    const SkinElement* readLabel = find(table, 89, true);
    ASSERT_NE(readLabel, nullptr);
    EXPECT_TRUE(readLabel->rect.contains(602, 440));
    EXPECT_EQ(text(*find(table, 88, true), "en-US"), L"BackLight Settings");
    EXPECT_EQ(text(*find(layout::multiSelectElements(), 97, true), "zh-CN"), L"색상선택");
}

TEST(KeyEditorTable, PagesModelsAndPickerCodes) {
    const auto vanta = layout::keyEditorElements(kVanta);
    const auto corv = layout::keyEditorElements(kCorv);
    ASSERT_EQ(vanta.size(), 218u);
    ASSERT_EQ(corv.size(), 218u);
    // The common elements come first, then the pages in order.
    int lastPage = 0;
    for (const SkinElement& e : vanta) {
        if (e.id < 1)
            continue;
        const int page = e.id < 100 ? 0 : e.id / 100;
        EXPECT_GE(page, lastPage) << e.id;
        lastPage = page;
    }
    EXPECT_EQ(lastPage, 7);

    const SkinElement* i636 = find(vanta, 636, false);
    ASSERT_NE(i636, nullptr);
    EXPECT_EQ(i636->hwCode, 148);
    EXPECT_EQ(find(corv, 636, false), nullptr);
    const SkinElement* v632 = find(vanta, 632, false);
    const SkinElement* c632 = find(corv, 632, false);
    ASSERT_NE(v632, nullptr);
    ASSERT_NE(c632, nullptr);
    EXPECT_EQ(v632->hwCode, 136);
    EXPECT_EQ(c632->hwCode, 136);
    EXPECT_EQ(v632->tip.at("en-US"), L"Backlight Macro");
    EXPECT_EQ(c632->tip.at("en-US"), L"100% all light");
    EXPECT_EQ(find(vanta, 616, false)->tip.at("en-US"), L"FN key,Key's 2 layer must be set to FN");
    EXPECT_EQ(find(vanta, 703, false)->hwCode, 77);
    EXPECT_EQ(find(vanta, 511, false)->hwCode, 199);

    // Page 1 starts in single mode; the stop labels start hidden and green.
    EXPECT_EQ(find(vanta, 101, false)->selected, 1);
    EXPECT_EQ(find(vanta, 102, false)->selected, 0);
    for (int id : {155, 160, 268, 353}) {
        const SkinElement* stop = find(vanta, id, true);
        ASSERT_NE(stop, nullptr) << id;
        EXPECT_EQ(stop->textVisible, 0) << id;
        EXPECT_EQ(stop->normalColor, 0x00FF00u) << id;
    }
    // List rows: 6 on page 1 every 16 pixels, 9 on pages 2 and 3 every 14.
    const SkinElement* r126 = find(vanta, 126, false);
    ASSERT_NE(r126, nullptr);
    EXPECT_EQ(r126->rect.top, 136 + 80);
    EXPECT_EQ(r126->rect.bottom, 151 + 80);
    EXPECT_EQ(r126->fontIndex, 11);
    EXPECT_EQ(r126->hasText, 1);
    const SkinElement* r349 = find(vanta, 349, false);
    ASSERT_NE(r349, nullptr);
    EXPECT_EQ(r349->rect.top, 114 + 112);
    EXPECT_EQ(r349->rect.bottom, 127 + 112);
    // Page 2 has two labels with ID 262, page 3 two with ID 351.
    EXPECT_EQ(std::count_if(vanta.begin(), vanta.end(), [](auto& e) { return e.id == 262; }), 2);
    EXPECT_EQ(std::count_if(vanta.begin(), vanta.end(), [](auto& e) { return e.id == 351; }), 2);
}

TEST(KeyEditorTable, OnePageKeepsItsElementsInTheirSlots) {
    const auto all = layout::keyEditorElements(kVanta);
    for (int page = 1; page <= layout::kKeyEditorPages; ++page) {
        SCOPED_TRACE(page);
        const auto one = layout::keyEditorElements(page, kVanta);
        ASSERT_EQ(one.size(), all.size());
        for (std::size_t i = 0; i < all.size(); ++i) {
            const int expected = layout::onKeyEditorPage(all[i].id, page) ? all[i].id : -1;
            EXPECT_EQ(one[i].id, expected);
        }
    }
}

TEST(MainWindowTable, LabelTextsFormatsAndColours) {
    const auto table = layout::mainWindowElements(kVanta);
    const SkinElement* lang = find(table, 65, true);
    ASSERT_NE(lang, nullptr);
    EXPECT_EQ(text(*lang, "zh-CN"), L"English");
    EXPECT_EQ(text(*lang, "en-US"), L"한글");
    const SkinElement* top = find(table, 77, true);
    const SkinElement* fn = find(table, 78, true);
    ASSERT_NE(top, nullptr);
    ASSERT_NE(fn, nullptr);
    EXPECT_EQ(top->textFormat, layout::kTextRight);
    EXPECT_EQ(fn->textFormat, layout::kTextLeft);
    EXPECT_EQ(top->selectedColor, 0x00FF00u);
    EXPECT_EQ(text(*fn, "zh-CN"), L"FN 조합키 설정");
    const SkinElement* write = find(table, 73, true);
    ASSERT_NE(write, nullptr);
    EXPECT_EQ(write->textFormat, layout::kTextCenter);
    EXPECT_EQ(write->normalColor, 0xC8C8C8u);
    EXPECT_EQ(write->fontIndex, 13);
    EXPECT_EQ(text(*write, "en-US"), L"WriteKeys");
    // Buttons carry no text of their own and no key index.
    const SkinElement* help = find(table, 87, false);
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->keyIndex, -1);
    EXPECT_EQ(text(*help, "en-US"), L"");
}

TEST(SmallWindowTables, ProgressAndFirmwareInTableOrder) {
    const auto ids = [](const std::vector<SkinElement>& t) {
        std::vector<int> out;
        for (const SkinElement& e : t)
            if (e.id > 0)
                out.push_back(e.id);
        return out;
    };
    EXPECT_EQ(ids(layout::progressElements()), (std::vector<int>{89, 93, 187, 188, 193}));
    EXPECT_EQ(ids(layout::firmwareElements()),
              (std::vector<int>{89, 90, 91, 92, 93, 187, 188, 190, 191, 192, 193}));
    const auto fw = layout::firmwareElements();
    const SkinElement* title = find(fw, 188, true);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(text(*title, "en-US"), L"Firmware Update");
    EXPECT_EQ(title->selectedColor, 0xBE0000u);
    const SkinElement* file = find(fw, 187, true);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(text(*file, "zh-CN"), L"펌웨어 파일：");
    const auto pr = layout::progressElements();
    const SkinElement* warn = find(pr, 187, true);
    ASSERT_NE(warn, nullptr);
    EXPECT_EQ(text(*warn, "en-US"), L"Keep the keyboard connected!");
}

} // namespace
