// Small helpers the key editor's source files share.
#pragma once

#include "SkinElement.h"
#include "SkinScrollBar.h"

#include <QRect>

namespace shell::keymap {

// The icons of the picker pages 4 to 7.
inline bool isPickerIcon(int id) {
    return (id >= 401 && id <= 418) || (id >= 502 && id <= 514) || (id >= 601 && id <= 638) ||
           (id >= 701 && id <= 703);
}

inline QRect toQRect(const layout::Rect& r) {
    return QRect(r.left, r.top, r.width(), r.height());
}

// A list's bar: from 0 to maximum, one page of rows, at the top.
inline void setScrollRange(CSkinScrollBar* bar, int page, int maximum) {
    layout::ScrollInfo info;
    info.nMin = 0;
    info.nMax = maximum;
    info.nPage = page;
    info.nPos = 0;
    bar->setScrollInfo(info, layout::SIF_RANGE | layout::SIF_PAGE | layout::SIF_POS);
}

constexpr int kOkId = 88;

} // namespace shell::keymap
