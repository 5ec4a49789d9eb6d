#include "FontTable.h"

namespace shell {

FontTable::FontTable() {
    for (int i = 1; i < kCount; ++i)
        fonts_[i].setPixelSize(i);
}

const QFont& FontTable::at(int index) const {
    if (index < 0 || index >= kCount)
        return fonts_[kEditFont];
    return fonts_[index];
}

} // namespace shell
