// Paints a skinned window's elements over its background, apart from any
// widget: the background whole, then each element in array order from the
// selected image when selected, else from the hover image under the mouse,
// then the text of a label (or of a clickable element with hasText) in its
// rect, unless its textVisible is off.
#pragma once

#include "FontTable.h"
#include "SkinElement.h"

#include <QPixmap>
#include <QPoint>
#include <functional>
#include <string>
#include <vector>

class QPainter;

namespace shell {

// Where an image comes from: asked only when it is drawn, so that an image
// decoded on first use costs nothing until then. Null for none.
using SkinImageSource = std::function<const QPixmap*()>;

inline SkinImageSource fixedImage(const QPixmap& pixmap) {
    return [&pixmap] { return &pixmap; };
}

struct SkinImages {
    SkinImageSource background;
    SkinImageSource hover;
    SkinImageSource selected;
};

struct SkinLabelStyle {
    // Labels take the fixed colours instead of their own.
    bool fixedColours = false;
    // Labels are centred whatever their format says.
    bool alwaysCentred = false;
};

struct SkinPaintState {
    const std::vector<layout::SkinElement>* elements = nullptr;
    SkinImages images;
    const FontTable* fonts = nullptr;
    std::string language;
    // The last mouse position; outside every element when the mouse has not
    // been seen.
    QPoint mouse{-1, -1};
    SkinLabelStyle labels;
};

void paintBackground(QPainter& painter, const SkinPaintState& state);
// Steps after the background: element states and labels. The language lookup
// reads a missing text as empty.
void paintElements(QPainter& painter, const SkinPaintState& state);

// Qt alignment for a label's text format (centred, left or right, at the top).
int textAlignment(unsigned textFormat);

} // namespace shell
