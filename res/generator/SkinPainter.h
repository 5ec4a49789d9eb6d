// The drawing vocabulary of the skins: canvas, palette and the looks of keys,
// buttons, tabs, rows and icons in their normal, hover and selected states.
// Every piece draws inside the rectangle it is given, so that the three
// images of a window differ only inside element rectangles.
#pragma once

#include "WindowLayouts.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>

#include <functional>
#include <vector>

namespace skin {

enum class Look { Normal, Hover, Selected };

// The colours every window is drawn with.
struct Palette {
    QColor bodyTop{0x1d, 0x20, 0x26};
    QColor bodyBottom{0x12, 0x14, 0x18};
    QColor border{0x3a, 0x3f, 0x49};
    QColor header{0x23, 0x27, 0x2e};
    QColor separator{0x2c, 0x30, 0x38};
    QColor well{0x14, 0x14, 0x14}; // the edit boxes' background, so edits sit flush
    QColor wellBorder{0x2a, 0x2e, 0x36};
    QColor text{0xe8, 0xeb, 0xf0};
    QColor dimText{0x8a, 0x91, 0x9c};
    QColor accent{0x2f, 0x8c, 0xff};
    QColor accentDark{0x1a, 0x5f, 0xd1};
    QColor accentLight{0x7c, 0xb9, 0xff};
    QColor danger{0xe5, 0x48, 0x4d};
};

const Palette& palette();

// Fonts of the skins, from the DejaVu files the generator loaded.
QFont sansFont(int pixelSize, bool bold);

QColor fromColorRef(layout::ColorRef c);
QRgb rgbOf(layout::ColorRef c);

inline QRect toQRect(const layout::Rect& r) {
    return QRect(r.left, r.top, r.width(), r.height());
}

// A window image: the body with its rounded border, to be finished with
// finishWindow once everything is drawn.
QImage newWindow(layout::Window w);
// Gives every pixel outside the outline the colour key, and moves any pixel
// inside that happens to carry the key's exact colour by one step.
void finishWindow(QImage& image, layout::Window w);

// A header band across the top of a window with a separator under it.
void drawHeader(QPainter& p, int width, int height, int radius);
// A recessed area (lists, the information panel, edit fields).
void drawWell(QPainter& p, const QRectF& r, qreal radius);

// The text a key cap shows: arrows as arrows, the keypad without "KP".
QString keyLegend(const layout::SkinElement& e);
void drawKeyCap(QPainter& p, const QRect& r, const QString& legend, Look look, int inset);
void drawButton(QPainter& p, const QRect& r, Look look);
void drawTab(QPainter& p, const QRect& r, Look look, bool active);
enum class Glyph { Close, Minimise, Help };
void drawGlyphButton(QPainter& p, const QRect& r, Glyph glyph, Look look);
void drawToggle(QPainter& p, const QRect& r, Look look);
// A round option mark at the left of r, vertically centred.
void drawRadio(QPainter& p, const QRect& r, Look look);
void drawListRow(QPainter& p, const QRect& r, Look look);
// A square picker tile with a pictogram drawn by `glyph` in the given colour.
void drawIconTile(QPainter& p, const QRect& r, Look look,
                  const std::function<void(QPainter&, const QRectF&, const QColor&)>& glyph);
// Text centred in r, shrunk until it fits (two lines allowed at '\n').
void drawFittedText(QPainter& p, const QRectF& r, const QString& text, const QColor& colour,
                    int maxPixelSize, bool bold);

// One image of a window: the chrome, then each image element (no labels) in
// the look lookOf gives it, clipped to its rectangle, then `after`.
using ElementPainter = std::function<void(QPainter&, const layout::SkinElement&, Look)>;
QImage paintWindow(layout::Window w, const std::vector<layout::SkinElement>& elements,
                   const std::function<void(QPainter&)>& chrome, const ElementPainter& element,
                   const std::function<Look(const layout::SkinElement&)>& lookOf,
                   const std::function<void(QPainter&)>& after = {});

} // namespace skin
