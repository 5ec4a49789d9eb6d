// Small constructors the window tables are written with, so that each table
// reads as the list of its elements.
#pragma once

#include "SkinElement.h"

#include <vector>

namespace layout::detail {

inline constexpr ColorRef kLabelGrey = 0xC8C8C8;
inline constexpr ColorRef kLabelGreen = 0x00FF00;

inline SkinElement image(int id, Rect r) {
    SkinElement e;
    e.id = id;
    e.rect = r;
    return e;
}

inline SkinElement label(int id, Rect r, const wchar_t* local, const wchar_t* english,
                         unsigned format = kTextCenter) {
    SkinElement e;
    e.id = id;
    e.rect = r;
    e.isLabel = 1;
    e.text = {{"zh-CN", local}, {"en-US", english}};
    e.textFormat = format;
    e.normalColor = kLabelGrey;
    e.selectedColor = kLabelGrey;
    return e;
}

// A table of `count` slots filled from the front; the rest keep id -1.
inline std::vector<SkinElement> padded(std::vector<SkinElement> filled, int count) {
    filled.resize(static_cast<std::size_t>(count));
    return filled;
}

} // namespace layout::detail
