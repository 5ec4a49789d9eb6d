#include "SkinPainter.h"

#include "ColorRef.h"

#include <QPainter>

namespace shell {

namespace {

QRect toQRect(const layout::Rect& r) {
    return QRect(r.left, r.top, r.width(), r.height());
}

void copyRect(QPainter& painter, const SkinImageSource& source, const QRect& rect) {
    if (!source || rect.isEmpty())
        return;
    const QPixmap* image = source();
    if (image && !image->isNull())
        painter.drawPixmap(rect.topLeft(), *image, rect);
}

const std::wstring* lookup(const layout::LocalText& text, const std::string& language) {
    const auto it = text.find(language);
    return it == text.end() ? nullptr : &it->second;
}

} // namespace

int textAlignment(unsigned textFormat) {
    int h = Qt::AlignHCenter;
    if (textFormat == layout::kTextLeft)
        h = Qt::AlignLeft;
    else if (textFormat & layout::kTextRight)
        h = Qt::AlignRight;
    return h | Qt::AlignTop;
}

void paintBackground(QPainter& painter, const SkinPaintState& state) {
    const QPixmap* bg = state.images.background ? state.images.background() : nullptr;
    if (bg && !bg->isNull())
        painter.drawPixmap(0, 0, *bg);
}

void paintElements(QPainter& painter, const SkinPaintState& state) {
    if (!state.elements)
        return;
    for (const auto& e : *state.elements) {
        if (e.id < 1)
            continue;
        const QRect rect = toQRect(e.rect);
        if (e.selected)
            copyRect(painter, state.images.selected, rect);
        else if (!e.isLabel && e.rect.contains(state.mouse.x(), state.mouse.y()))
            copyRect(painter, state.images.hover, rect);
        // Labels draw their text, and so do clickable elements that carry one
        // (list rows); either may have it switched off.
        if ((!e.isLabel && !e.hasText) || !e.textVisible)
            continue;

        // A missing text reads as empty: nothing is drawn.
        const std::wstring* text = lookup(e.text, state.language);
        if (!text || text->empty() || rect.isEmpty())
            continue;
        layout::ColorRef colour;
        if (state.labels.fixedColours)
            colour = e.selected ? kFixedLabelSelectedColour : kFixedLabelColour;
        else
            colour = e.selected ? e.selectedColor : e.normalColor;
        painter.save();
        if (state.fonts)
            painter.setFont(state.fonts->at(e.fontIndex));
        painter.setPen(fromColorRef(colour));
        painter.setClipRect(rect);
        const unsigned format = state.labels.alwaysCentred ? layout::kTextCenter : e.textFormat;
        // A list row's text keeps off the row's edges.
        const QRect textRect = e.hasText ? rect.adjusted(2, 0, -2, 0) : rect;
        painter.drawText(textRect, textAlignment(format), QString::fromStdWString(*text));
        painter.restore();
    }
}

} // namespace shell
