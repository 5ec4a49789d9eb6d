// The key editor's seven pages: shared header, tabs and buttons, each page
// with its own lists, options and picker tiles. The tab of a page's images is
// drawn as the open one.
#include "SkinImages.h"
#include "SkinPainter.h"
#include "Skins.h"

#include <QPainterPath>

#include <map>

namespace skin {
namespace {

using layout::SkinElement;
using layout::SkinImage;
using layout::Window;

constexpr int kHeaderHeight = 40;

using GlyphFn = std::function<void(QPainter&, const QRectF&, const QColor&)>;

GlyphFn textGlyph(const QString& text) {
    return [text](QPainter& p, const QRectF& r, const QColor& ink) {
        drawFittedText(p, r, text, ink, 11, true);
    };
}

GlyphFn symbolGlyph(const QString& symbol) {
    return [symbol](QPainter& p, const QRectF& r, const QColor& ink) {
        drawFittedText(p, r, symbol, ink, 17, false);
    };
}

void triangle(QPainter& p, const QPointF& left, qreal w, qreal h, bool pointRight) {
    QPainterPath path;
    if (pointRight) {
        path.moveTo(left.x(), left.y() - h / 2);
        path.lineTo(left.x() + w, left.y());
        path.lineTo(left.x(), left.y() + h / 2);
    } else {
        path.moveTo(left.x() + w, left.y() - h / 2);
        path.lineTo(left.x(), left.y());
        path.lineTo(left.x() + w, left.y() + h / 2);
    }
    path.closeSubpath();
    p.drawPath(path);
}

// Media pictograms drawn as shapes: play/pause, stop, next, previous and the
// speaker with its minus, plus or cross.
GlyphFn mediaGlyph(int id) {
    return [id](QPainter& p, const QRectF& r, const QColor& ink) {
        p.save();
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        const QPointF c = r.center();
        const qreal s = std::min(r.width(), r.height());
        switch (id) {
        case 402: // play/pause
            triangle(p, c + QPointF(-s * 0.42, 0), s * 0.38, s * 0.5, true);
            p.drawRect(QRectF(c.x() + s * 0.06, c.y() - s * 0.25, s * 0.11, s * 0.5));
            p.drawRect(QRectF(c.x() + s * 0.25, c.y() - s * 0.25, s * 0.11, s * 0.5));
            break;
        case 403: // stop
            p.drawRoundedRect(QRectF(c.x() - s * 0.25, c.y() - s * 0.25, s * 0.5, s * 0.5), 2, 2);
            break;
        case 404:   // next
        case 405: { // previous
            const bool next = id == 404;
            triangle(p, c + QPointF(-s * 0.38, 0), s * 0.3, s * 0.48, next);
            triangle(p, c + QPointF(-s * 0.08, 0), s * 0.3, s * 0.48, next);
            const qreal bx = next ? c.x() + s * 0.24 : c.x() - s * 0.44;
            p.drawRect(QRectF(bx, c.y() - s * 0.24, s * 0.09, s * 0.48));
            break;
        }
        default: { // speaker, then its mark
            QPainterPath sp;
            sp.moveTo(c.x() - s * 0.4, c.y() - s * 0.12);
            sp.lineTo(c.x() - s * 0.25, c.y() - s * 0.12);
            sp.lineTo(c.x() - s * 0.05, c.y() - s * 0.3);
            sp.lineTo(c.x() - s * 0.05, c.y() + s * 0.3);
            sp.lineTo(c.x() - s * 0.25, c.y() + s * 0.12);
            sp.lineTo(c.x() - s * 0.4, c.y() + s * 0.12);
            sp.closeSubpath();
            p.drawPath(sp);
            p.setPen(QPen(ink, 1.8, Qt::SolidLine, Qt::RoundCap));
            const QPointF m = c + QPointF(s * 0.25, 0);
            const qreal a = s * 0.13;
            if (id == 408) {
                p.drawLine(m + QPointF(-a, -a), m + QPointF(a, a));
                p.drawLine(m + QPointF(-a, a), m + QPointF(a, -a));
            } else {
                p.drawLine(m + QPointF(-a, 0), m + QPointF(a, 0));
                if (id == 407)
                    p.drawLine(m + QPointF(0, -a), m + QPointF(0, a));
            }
            break;
        }
        }
        p.restore();
    };
}

// A magnifier, a monitor and a calculator, drawn as outlines.
GlyphFn outlineGlyph(int id) {
    return [id](QPainter& p, const QRectF& r, const QColor& ink) {
        p.save();
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(ink, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        const QPointF c = r.center();
        const qreal s = std::min(r.width(), r.height());
        if (id == 414) {
            p.drawEllipse(QPointF(c.x() - s * 0.08, c.y() - s * 0.08), s * 0.24, s * 0.24);
            p.drawLine(c + QPointF(s * 0.1, s * 0.1), c + QPointF(s * 0.34, s * 0.34));
        } else if (id == 417) {
            p.drawRoundedRect(QRectF(c.x() - s * 0.38, c.y() - s * 0.32, s * 0.76, s * 0.5), 2, 2);
            p.drawLine(c + QPointF(0, s * 0.18), c + QPointF(0, s * 0.32));
            p.drawLine(c + QPointF(-s * 0.2, s * 0.34), c + QPointF(s * 0.2, s * 0.34));
        } else {
            p.drawRoundedRect(QRectF(c.x() - s * 0.28, c.y() - s * 0.38, s * 0.56, s * 0.76), 2, 2);
            p.drawLine(c + QPointF(-s * 0.16, -s * 0.2), c + QPointF(s * 0.16, -s * 0.2));
            for (int row = 0; row < 2; ++row)
                for (int col = 0; col < 3; ++col)
                    p.drawPoint(c + QPointF(-s * 0.14 + col * s * 0.14, s * 0.04 + row * s * 0.16));
        }
        p.restore();
    };
}

const std::map<int, GlyphFn>& glyphs(bool corv) {
    static const std::map<int, GlyphFn> common = [] {
        std::map<int, GlyphFn> g;
        g[401] = symbolGlyph(QStringLiteral("\u266b"));
        for (int id : {402, 403, 404, 405, 406, 407, 408})
            g[id] = mediaGlyph(id);
        g[409] = symbolGlyph(QStringLiteral("\u2190"));
        g[410] = symbolGlyph(QStringLiteral("\u2192"));
        g[411] = symbolGlyph(QStringLiteral("\u2715"));
        g[412] = symbolGlyph(QStringLiteral("\u21bb"));
        g[413] = symbolGlyph(QStringLiteral("\u2605"));
        g[414] = outlineGlyph(414);
        g[415] = symbolGlyph(QStringLiteral("\u2709"));
        g[416] = symbolGlyph(QStringLiteral("\u2302"));
        g[417] = outlineGlyph(417);
        g[418] = outlineGlyph(418);
        const std::pair<int, const char*> texts[] = {
            {605, "TRIG"},       {609, "WIN\nMAC"},   {610, "WIN\nLOCK"}, {611, "FN\nLOCK"},
            {612, "KEY\nLOCK"},  {613, "REP\nRATE"},  {614, "KEY\nDLY"},  {616, "FN"},
            {617, "PROG"},       {618, "CAPS\nCTRL"}, {620, "DEMO"},      {621, "STAR"},
            {622, "RIPL"},       {623, "LED\u2212"},  {624, "LED+"},      {625, "REC\n1"},
            {626, "REC\n2"},     {627, "REC\n3"},     {628, "REC\n4"},    {630, "LED\nOFF"},
            {631, "BRTH"},       {632, "LED\nMACR"},  {633, "SPD+"},      {634, "SPD\u2212"},
            {635, "DEMO\nSTOP"}, {636, "CLR\nSWAP"},  {637, "REC\n5"},    {638, "REC\n6"},
        };
        for (const auto& [id, text] : texts)
            g[id] = textGlyph(QString::fromUtf8(text));
        return g;
    }();
    static const std::map<int, GlyphFn> corvGlyphs = [] {
        std::map<int, GlyphFn> g = common;
        g[632] = textGlyph(QStringLiteral("100%"));
        return g;
    }();
    return corv ? corvGlyphs : common;
}

bool isRadio(int id) {
    switch (id) {
    case 101:
    case 102:
    case 201:
    case 203:
    case 208:
    case 209:
    case 210:
        return true;
    default:
        return false;
    }
}

bool isListRow(int id) {
    const int inPage = id % 100;
    const int page = id / 100;
    return page >= 1 && page <= 3 && inPage >= 21 && inPage <= 49;
}

void drawSeparator(QPainter& p, qreal x0, qreal x1, qreal y) {
    p.save();
    p.setPen(QPen(palette().separator, 1));
    p.drawLine(QPointF(x0, y + 0.5), QPointF(x1, y + 0.5));
    p.restore();
}

void drawPageChrome(QPainter& p, int page) {
    const auto info = layout::windowInfo(Window::KeyEditor, 0);
    drawHeader(p, info.width, kHeaderHeight, layout::outlineRadius(Window::KeyEditor));
    // The page body under the tabs.
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(palette().border, 1));
    p.setBrush(QColor(0x1f, 0x22, 0x29));
    p.drawRoundedRect(QRectF(12.5, 80.5, info.width - 25.0, 232), 8, 8);
    p.restore();
    switch (page) {
    case 1:
        drawWell(p, QRectF(45, 163, 118, 28), 4); // the captured key
        drawWell(p, QRectF(211, 133, 163, 101), 5);
        drawWell(p, QRectF(376, 135, 148, 99), 5);
        break;
    case 2:
    case 3:
        drawWell(p, QRectF(34, 111, 164, 132), 5);
        drawWell(p, QRectF(210, 111, 164, 132), 5);
        if (page == 2)
            drawWell(p, QRectF(180, 254, 385, 54), 6);
        break;
    case 4:
        drawSeparator(p, 172, 531, 138);
        drawSeparator(p, 172, 531, 218);
        break;
    case 5:
        drawWell(p, QRectF(33, 110, 111, 177), 5);
        drawWell(p, QRectF(150, 110, 112, 58), 5);
        break;
    case 6:
        drawSeparator(p, 172, 496, 100);
        drawSeparator(p, 172, 496, 208);
        break;
    default:
        break;
    }
}

ImageList pageSkins(int page, int deviceType) {
    const bool corv = deviceType == layout::kCorvDeviceType;
    const auto elements = layout::keyEditorElements(page, deviceType);
    const auto& icons = glyphs(corv);
    const auto element = [&](QPainter& p, const SkinElement& e, Look look) {
        const QRect r = toQRect(e.rect);
        if (e.id >= 90 && e.id <= 96) {
            drawTab(p, r, look, e.id - 89 == page);
        } else if (e.id == 97) {
            drawGlyphButton(p, r, Glyph::Close, look);
        } else if (isRadio(e.id)) {
            drawRadio(p, r, look);
        } else if (isListRow(e.id)) {
            drawListRow(p, r, look);
        } else if (e.id == 103 || e.id == 301) {
            // no action: nothing to show
        } else if (auto it = icons.find(e.id); it != icons.end()) {
            drawIconTile(p, r, look, it->second);
        } else {
            drawButton(p, r, look);
        }
    };
    const SkinImage first =
        static_cast<SkinImage>(static_cast<int>(SkinImage::Page1Background) + 3 * (page - 1));
    const Look looks[] = {Look::Normal, Look::Hover, Look::Selected};
    ImageList out;
    for (int i = 0; i < 3; ++i) {
        const Look look = looks[i];
        const auto role = static_cast<SkinImage>(static_cast<int>(first) + i);
        out.push_back(
            {layout::skinImageId(role, deviceType),
             paintWindow(
                 Window::KeyEditor, elements, [page](QPainter& p) { drawPageChrome(p, page); },
                 element, [look](const SkinElement&) { return look; })});
    }
    return out;
}

} // namespace

ImageList keyEditorSkins(int deviceType) {
    ImageList out;
    for (int page = 1; page <= layout::kKeyEditorPages; ++page)
        for (auto& image : pageSkins(page, deviceType))
            out.push_back(std::move(image));
    return out;
}

} // namespace skin
