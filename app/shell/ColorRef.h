// Colours as the windows' tables write them (0x00BBGGRR) and the shell's
// fixed colours.
#pragma once

#include "SkinElement.h"

#include <QColor>

namespace shell {

inline QColor fromColorRef(layout::ColorRef c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// The dark brush every window fills its edits with.
constexpr layout::ColorRef kDarkBrushColour = 0x141414;
// Text colour of the edit boxes of a window's edit list.
constexpr layout::ColorRef kEditTextColour = 0x006FFF;
// Fixed label colours of the progress and firmware windows.
constexpr layout::ColorRef kFixedLabelColour = 0xC8C8C8;
constexpr layout::ColorRef kFixedLabelSelectedColour = 0xBE0000;

} // namespace shell
