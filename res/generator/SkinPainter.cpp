#include "SkinPainter.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>
#include <QStringList>

namespace skin {

const Palette& palette() {
    static const Palette p;
    return p;
}

QFont sansFont(int pixelSize, bool bold) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

QColor fromColorRef(layout::ColorRef c) {
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

QRgb rgbOf(layout::ColorRef c) {
    return fromColorRef(c).rgb();
}

QImage newWindow(layout::Window w) {
    const layout::WindowInfo info = layout::windowInfo(w, 0);
    QImage image(info.width, info.height, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient body(0, 0, 0, info.height);
    body.setColorAt(0, palette().bodyTop);
    body.setColorAt(1, palette().bodyBottom);
    p.fillRect(image.rect(), body);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal r = layout::outlineRadius(w);
    p.setPen(QPen(palette().border, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(0.5, 0.5, info.width - 1.0, info.height - 1.0), r - 0.5, r - 0.5);
    return image;
}

void finishWindow(QImage& image, layout::Window w) {
    const QRgb key = rgbOf(layout::windowInfo(w, 0).colourKey);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (!layout::insideOutline(w, x, y))
                line[x] = key;
            else if ((line[x] | 0xFF000000u) == (key | 0xFF000000u))
                line[x] = qRgb(qRed(key), qGreen(key) ^ 1, qBlue(key));
        }
    }
}

void drawHeader(QPainter& p, int width, int height, int radius) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath band;
    band.addRoundedRect(QRectF(1, 1, width - 2, height + radius), radius - 1, radius - 1);
    QPainterPath clip;
    clip.addRect(QRectF(0, 0, width, height));
    QLinearGradient g(0, 0, 0, height);
    g.setColorAt(0, palette().header.lighter(112));
    g.setColorAt(1, palette().header);
    p.fillPath(band.intersected(clip), g);
    p.setPen(QPen(palette().separator, 1));
    p.drawLine(QPointF(1, height + 0.5), QPointF(width - 1, height + 0.5));
    p.restore();
}

void drawWell(QPainter& p, const QRectF& r, qreal radius) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(palette().wellBorder, 1));
    p.setBrush(palette().well);
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    p.restore();
}

namespace {

struct Face {
    QColor top, bottom, edge, rim;
};

Face keyFace(Look look) {
    switch (look) {
    case Look::Hover:
        return {QColor(0x60, 0x67, 0x75), QColor(0x4a, 0x50, 0x5c), QColor(0x1c, 0x3c, 0x6e),
                palette().accentLight};
    case Look::Selected:
        return {palette().accent.lighter(108), palette().accentDark, QColor(0x10, 0x3a, 0x80),
                palette().accentLight};
    case Look::Normal:
        break;
    }
    return {QColor(0x3b, 0x3f, 0x48), QColor(0x2f, 0x32, 0x39), QColor(0x17, 0x19, 0x1d),
            QColor(0x4c, 0x51, 0x5b)};
}

Face buttonFace(Look look) {
    switch (look) {
    case Look::Hover:
        return {QColor(0x52, 0x5a, 0x68), QColor(0x40, 0x46, 0x52), QColor(0x1c, 0x3c, 0x6e),
                palette().accentLight};
    case Look::Selected:
        return {palette().accent, palette().accentDark, QColor(0x10, 0x3a, 0x80),
                palette().accentLight};
    case Look::Normal:
        break;
    }
    return {QColor(0x37, 0x3b, 0x44), QColor(0x2a, 0x2d, 0x34), QColor(0x17, 0x19, 0x1d),
            QColor(0x4a, 0x4f, 0x59)};
}

QLinearGradient vertical(const QRectF& r, const QColor& top, const QColor& bottom) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

// Splits a legend for two lines: at a space, else before an inner capital.
QString splitLegend(const QString& s) {
    const int space = s.indexOf(' ');
    if (space > 0)
        return s.left(space) + '\n' + s.mid(space + 1);
    for (int i = 1; i < s.size(); ++i)
        if (s[i].isUpper() && s[i - 1].isLower())
            return s.left(i) + '\n' + s.mid(i);
    return s;
}

} // namespace

void drawFittedText(QPainter& p, const QRectF& r, const QString& text, const QColor& colour,
                    int maxPixelSize, bool bold) {
    p.save();
    p.setPen(colour);
    for (int size = maxPixelSize; size >= 6; --size) {
        const QFont f = sansFont(size, bold);
        const QFontMetricsF m(f);
        const QStringList lines = text.split('\n');
        qreal widest = 0;
        for (const QString& l : lines)
            widest = std::max(widest, m.horizontalAdvance(l));
        const qreal height = m.height() * lines.size();
        if ((widest <= r.width() && height <= r.height()) || size == 6) {
            p.setFont(f);
            p.drawText(r, Qt::AlignCenter, text);
            break;
        }
    }
    p.restore();
}

// What a key shows: arrows as arrows, the keypad without its prefix.
QString keyLegend(const layout::SkinElement& e) {
    const QString cap = QString::fromStdWString(e.text.at("en-US"));
    if (cap == QLatin1String("Up"))
        return QStringLiteral("\u2191");
    if (cap == QLatin1String("Down"))
        return QStringLiteral("\u2193");
    if (cap == QLatin1String("Left"))
        return QStringLiteral("\u2190");
    if (cap == QLatin1String("Right"))
        return QStringLiteral("\u2192");
    if (cap == QLatin1String("KPEnter"))
        return QStringLiteral("Enter");
    if (cap.startsWith(QLatin1String("KP")) && cap.size() == 3)
        return cap.mid(2);
    return cap;
}

void drawKeyCap(QPainter& p, const QRect& rect, const QString& legend, Look look, int inset) {
    const Face f = keyFace(look);
    const QRectF outer = QRectF(rect).adjusted(inset, inset, -inset, -inset);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    // The skirt: the darker sides seen below the cap's top.
    p.setPen(Qt::NoPen);
    p.setBrush(f.edge);
    p.drawRoundedRect(outer, 5, 5);
    const QRectF face = outer.adjusted(2, 1.5, -2, -4.5);
    p.setBrush(vertical(face, f.top, f.bottom));
    p.setPen(QPen(f.rim, look == Look::Normal ? 0.8 : 1.6));
    p.drawRoundedRect(face, 4, 4);
    QString text = legend;
    QColor ink = look == Look::Normal ? palette().text : QColor(Qt::white);
    const QRectF textArea = face.adjusted(2, 1, -2, -1);
    const QFontMetricsF m(sansFont(12, true));
    if (m.horizontalAdvance(text) > textArea.width())
        text = splitLegend(text);
    const bool shortLegend = legend.size() <= 2;
    drawFittedText(p, textArea, text, ink, shortLegend ? 14 : 11, true);
    p.restore();
}

void drawButton(QPainter& p, const QRect& rect, Look look) {
    const Face f = buttonFace(look);
    const QRectF outer = QRectF(rect).adjusted(1, 1, -1, -1);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(f.edge);
    p.drawRoundedRect(outer, 6, 6);
    const QRectF face = outer.adjusted(1, 1, -1, -2);
    p.setBrush(vertical(face, f.top, f.bottom));
    p.setPen(QPen(f.rim, look == Look::Normal ? 0.8 : 1.2));
    p.drawRoundedRect(face, 5, 5);
    if (look == Look::Hover) {
        p.setPen(QPen(QColor(0x7c, 0xb9, 0xff, 70), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(outer.adjusted(-0.5, -0.5, 0.5, 0.5), 6.5, 6.5);
    }
    // A soft highlight along the top of the face.
    p.setPen(QPen(QColor(255, 255, 255, look == Look::Normal ? 22 : 40), 1));
    p.drawLine(QPointF(face.left() + 5, face.top() + 1.5),
               QPointF(face.right() - 5, face.top() + 1.5));
    p.restore();
}

void drawTab(QPainter& p, const QRect& rect, Look look, bool active) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect).adjusted(1.5, 1.5, -1.5, 0);
    QColor top = active ? QColor(0x33, 0x38, 0x42) : QColor(0x25, 0x28, 0x2f);
    QColor bottom = active ? QColor(0x2a, 0x2e, 0x36) : QColor(0x1e, 0x21, 0x27);
    if (look == Look::Hover) {
        top = top.lighter(130);
        bottom = bottom.lighter(125);
    }
    QPainterPath path;
    path.addRoundedRect(r.adjusted(0, 0, 0, 6), 6, 6);
    QPainterPath clip;
    clip.addRect(QRectF(rect));
    p.fillPath(path.intersected(clip), vertical(r, top, bottom));
    p.setPen(QPen(active ? palette().border : palette().separator, 1));
    p.drawPath(path.intersected(clip));
    if (active || look == Look::Selected) {
        p.setPen(Qt::NoPen);
        p.setBrush(palette().accent);
        p.drawRoundedRect(QRectF(r.left() + 8, rect.bottom() - 2.0, r.width() - 16, 3), 1.5, 1.5);
    }
    p.restore();
}

void drawGlyphButton(QPainter& p, const QRect& rect, Glyph glyph, Look look) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal side = std::min(rect.width(), rect.height()) - 2;
    const QRectF circle(rect.center().x() + 0.5 - side / 2, rect.center().y() + 0.5 - side / 2,
                        side, side);
    QColor fill = QColor(0x2a, 0x2e, 0x36);
    QColor ink = palette().dimText;
    if (look == Look::Hover) {
        fill = glyph == Glyph::Close ? palette().danger : QColor(0x44, 0x4a, 0x55);
        ink = Qt::white;
    } else if (look == Look::Selected) {
        fill = glyph == Glyph::Close ? palette().danger.darker(120) : palette().accent;
        ink = Qt::white;
    }
    p.setPen(QPen(fill.lighter(115), 1));
    p.setBrush(fill);
    p.drawEllipse(circle);
    const QPointF c = circle.center();
    const qreal a = side * 0.2;
    p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap));
    switch (glyph) {
    case Glyph::Close:
        p.drawLine(c + QPointF(-a, -a), c + QPointF(a, a));
        p.drawLine(c + QPointF(-a, a), c + QPointF(a, -a));
        break;
    case Glyph::Minimise:
        p.drawLine(c + QPointF(-a, 0), c + QPointF(a, 0));
        break;
    case Glyph::Help:
        p.setFont(sansFont(static_cast<int>(side * 0.6), true));
        p.setPen(ink);
        p.drawText(circle, Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    p.restore();
}

void drawToggle(QPainter& p, const QRect& rect, Look look) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = std::min<qreal>(rect.width() - 4, 44);
    const qreal h = 22;
    const QRectF track(rect.center().x() + 0.5 - w / 2, rect.center().y() + 0.5 - h / 2, w, h);
    const bool on = look == Look::Selected;
    QColor trackColour = on ? palette().accentDark : QColor(0x2a, 0x2e, 0x36);
    if (look == Look::Hover)
        trackColour = QColor(0x3a, 0x3f, 0x49);
    p.setPen(QPen(look == Look::Normal ? palette().border : palette().accentLight, 1));
    p.setBrush(trackColour);
    p.drawRoundedRect(track, h / 2, h / 2);
    const qreal knob = h - 6;
    const qreal x = on ? track.right() - 3 - knob : track.left() + 3;
    p.setPen(Qt::NoPen);
    p.setBrush(on ? QColor(Qt::white) : QColor(0xc8, 0xcc, 0xd4));
    p.drawEllipse(QRectF(x, track.top() + 3, knob, knob));
    p.restore();
}

void drawRadio(QPainter& p, const QRect& rect, Look look) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal side = std::min(15, rect.height()) - 1;
    const QRectF c(rect.left() + 0.5, rect.center().y() + 1 - side / 2, side, side);
    p.setPen(QPen(look == Look::Normal ? QColor(0x5a, 0x60, 0x6b) : palette().accentLight, 1.2));
    p.setBrush(look == Look::Hover ? QColor(0x33, 0x38, 0x42) : palette().well);
    p.drawEllipse(c.adjusted(0.5, 0.5, -0.5, -0.5));
    if (look == Look::Selected) {
        p.setPen(Qt::NoPen);
        p.setBrush(palette().accent);
        p.drawEllipse(c.adjusted(3.5, 3.5, -3.5, -3.5));
    }
    p.restore();
}

void drawListRow(QPainter& p, const QRect& rect, Look look) {
    if (look == Look::Normal)
        return; // the list's well shows through
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(look == Look::Hover ? QColor(0x2c, 0x31, 0x3a) : palette().accentDark);
    p.drawRoundedRect(QRectF(rect).adjusted(0.5, 0, -0.5, 0), 3, 3);
    if (look == Look::Selected) {
        p.setBrush(palette().accentLight);
        p.drawRect(QRectF(rect.left() + 0.5, rect.top() + 2, 2, rect.height() - 4));
    }
    p.restore();
}

void drawIconTile(QPainter& p, const QRect& rect, Look look,
                  const std::function<void(QPainter&, const QRectF&, const QColor&)>& glyph) {
    const Face f = buttonFace(look);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF tile = QRectF(rect).adjusted(1, 1, -1, -1);
    p.setPen(QPen(f.rim, look == Look::Normal ? 0.8 : 1.3));
    p.setBrush(vertical(tile, f.top, f.bottom));
    p.drawRoundedRect(tile.adjusted(0.5, 0.5, -0.5, -0.5), 7, 7);
    const QColor ink = look == Look::Normal ? QColor(0xd0, 0xd5, 0xde) : QColor(Qt::white);
    glyph(p, tile.adjusted(5, 5, -5, -5), ink);
    p.restore();
}

QImage paintWindow(layout::Window w, const std::vector<layout::SkinElement>& elements,
                   const std::function<void(QPainter&)>& chrome, const ElementPainter& element,
                   const std::function<Look(const layout::SkinElement&)>& lookOf,
                   const std::function<void(QPainter&)>& after) {
    QImage image = newWindow(w);
    {
        QPainter p(&image);
        chrome(p);
        for (const layout::SkinElement& e : elements) {
            if (e.id < 1 || e.isLabel)
                continue;
            p.save();
            p.setClipRect(toQRect(e.rect));
            element(p, e, lookOf(e));
            p.restore();
        }
        if (after)
            after(p);
    }
    finishWindow(image, w);
    return image;
}

} // namespace skin
