// One drawn element of a skinned window: an image button or a text label with
// its rectangle. Plain data, shared by the dialogs (which fill and paint
// tables of them) and the skin drawing (which draws their images from the
// same rectangles); nothing here depends on a toolkit.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace layout {

// 0x00BBGGRR, as the colour values of the windows' tables are written.
using ColorRef = std::uint32_t;

constexpr ColorRef rgb(int r, int g, int b) {
    return static_cast<ColorRef>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

// Right and bottom are exclusive.
struct Rect {
    int left = -1;
    int top = -1;
    int right = -1;
    int bottom = -1;

    constexpr int width() const { return right - left; }
    constexpr int height() const { return bottom - top; }
    constexpr bool contains(int x, int y) const {
        return x >= left && x < right && y >= top && y < bottom;
    }
};

// Text per language code ("zh-CN", "en-US"). A language without an entry
// reads as the empty text.
using LocalText = std::map<std::string, std::wstring>;

// Alignment flags of a label's text.
enum TextFormat : unsigned {
    kTextLeft = 0,
    kTextCenter = 1,
    kTextRight = 2,
};

struct SkinElement {
    int id = -1; // takes part in drawing and hit testing only when >= 1
    LocalText text{{"", L""}};
    LocalText tip{{"", L""}};
    Rect rect;
    ColorRef normalColor = 0xC8C8C8;
    ColorRef selectedColor = 0xC8C8C8;
    int keyIndex = -1; // 1..104 for a key element
    int hwCode = -1;   // the code a picker icon stands for
    std::uint8_t selected = 0;
    std::uint8_t isLabel = 0;
    std::uint8_t hasText = 0;
    std::uint8_t textVisible = 1;
    std::uint8_t hover = 0;
    unsigned textFormat = kTextCenter;
    int fontIndex = 13;
};

// The text of a table for a language; an entry that is missing reads as
// empty (and, like the lookup it stands for, is added).
inline const std::wstring& textFor(LocalText& text, const std::string& language) {
    return text[language];
}

} // namespace layout
