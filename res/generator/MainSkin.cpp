// The main window: header with the brand, the command row, the keyboard on
// its plate, the information panel and a model card.
#include "SkinImages.h"
#include "SkinPainter.h"
#include "Skins.h"

#include <QLinearGradient>

namespace skin {
namespace {

using layout::SkinElement;
using layout::Window;

constexpr int kHeaderHeight = 72;
const QRectF kPlate(110, 154, 1056, 322);
const QRectF kInfoWell(21, 500, 945, 156);
const QRectF kCard(978, 500, 272, 156);

void drawBrand(QPainter& p, bool corv) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QString name = corv ? QStringLiteral("CORV") : QStringLiteral("VANTA");
    QFont f = sansFont(28, true);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 5);
    p.setFont(f);
    p.setPen(palette().text);
    p.drawText(QRectF(30, 12, 400, 36), Qt::AlignLeft | Qt::AlignVCenter, name);
    const qreal nameWidth = QFontMetricsF(f).horizontalAdvance(name);
    p.setPen(Qt::NoPen);
    p.setBrush(palette().accent);
    p.drawEllipse(QRectF(30 + nameWidth + 2, 34, 7, 7));
    QFont small = sansFont(10, false);
    small.setLetterSpacing(QFont::AbsoluteSpacing, 2.5);
    p.setFont(small);
    p.setPen(palette().dimText);
    p.drawText(QRectF(31, 48, 500, 16), Qt::AlignLeft | Qt::AlignVCenter,
               corv ? QStringLiteral("PROGRAMMABLE KEYBOARD")
                    : QStringLiteral("PROGRAMMABLE RGB KEYBOARD"));
    p.restore();
}

void drawPlate(QPainter& p) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(kPlate.topLeft(), kPlate.bottomLeft());
    g.setColorAt(0, QColor(0x17, 0x19, 0x1e));
    g.setColorAt(1, QColor(0x0e, 0x10, 0x13));
    p.setPen(QPen(QColor(0x2c, 0x30, 0x38), 1));
    p.setBrush(g);
    p.drawRoundedRect(kPlate.adjusted(0.5, 0.5, -0.5, -0.5), 14, 14);
    p.setPen(QPen(QColor(255, 255, 255, 14), 1));
    p.drawLine(QPointF(kPlate.left() + 14, kPlate.top() + 1.5),
               QPointF(kPlate.right() - 14, kPlate.top() + 1.5));
    p.restore();
}

void drawCard(QPainter& p, bool corv) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x2c, 0x30, 0x38), 1));
    p.setBrush(QColor(0x17, 0x1a, 0x1f));
    p.drawRoundedRect(kCard.adjusted(0.5, 0.5, -0.5, -0.5), 10, 10);
    // A strip of the keyboard's light: a spectrum on the RGB model, one
    // shade on the other.
    const QRectF strip(kCard.left() + 20, kCard.bottom() - 34, kCard.width() - 40, 8);
    QLinearGradient g(strip.topLeft(), strip.topRight());
    if (corv) {
        g.setColorAt(0, QColor(0x3a, 0x3f, 0x49));
        g.setColorAt(1, QColor(0xd0, 0xd5, 0xde));
    } else {
        const QColor stops[] = {QColor(0xff, 0x4d, 0x6d), QColor(0xff, 0xb0, 0x3b),
                                QColor(0x4c, 0xd9, 0x64), QColor(0x2f, 0x8c, 0xff),
                                QColor(0xa8, 0x5c, 0xff)};
        for (int i = 0; i < 5; ++i)
            g.setColorAt(i / 4.0, stops[i]);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(strip, 4, 4);
    QFont f = sansFont(20, true);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 3);
    p.setFont(f);
    p.setPen(palette().text);
    p.drawText(QRectF(kCard.left() + 20, kCard.top() + 22, kCard.width() - 40, 30),
               Qt::AlignLeft | Qt::AlignVCenter,
               corv ? QStringLiteral("CORV") : QStringLiteral("VANTA"));
    QFont small = sansFont(10, false);
    small.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    p.setFont(small);
    p.setPen(palette().dimText);
    p.drawText(QRectF(kCard.left() + 20, kCard.top() + 56, kCard.width() - 40, 18),
               Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("104 KEYS \u00b7 2 LAYERS"));
    p.restore();
}

void drawElement(QPainter& p, const SkinElement& e, Look look) {
    const QRect r = toQRect(e.rect);
    if (e.keyIndex > 0) {
        drawKeyCap(p, r, keyLegend(e), look, 2);
        return;
    }
    switch (e.id) {
    case 87:
        drawGlyphButton(p, r, Glyph::Help, look);
        break;
    case 88:
        drawGlyphButton(p, r, Glyph::Minimise, look);
        break;
    case 89:
        drawGlyphButton(p, r, Glyph::Close, look);
        break;
    case 97:
        drawToggle(p, r, look);
        break;
    default:
        drawButton(p, r, look);
        break;
    }
}

} // namespace

ImageList mainWindowSkins(int deviceType) {
    const bool corv = deviceType == layout::kCorvDeviceType;
    const auto elements = layout::mainWindowElements(deviceType);
    const int width = layout::windowInfo(Window::Main, deviceType).width;
    const auto chrome = [&](QPainter& p) {
        drawHeader(p, width, kHeaderHeight, layout::outlineRadius(Window::Main));
        drawBrand(p, corv);
        drawPlate(p);
        drawWell(p, kInfoWell, 8);
        drawCard(p, corv);
    };
    ImageList out;
    const layout::SkinImage roles[] = {layout::SkinImage::MainBackground,
                                       layout::SkinImage::MainHover,
                                       layout::SkinImage::MainSelected};
    const Look looks[] = {Look::Normal, Look::Hover, Look::Selected};
    for (int i = 0; i < 3; ++i) {
        const Look look = looks[i];
        out.push_back({layout::skinImageId(roles[i], deviceType),
                       paintWindow(Window::Main, elements, chrome, drawElement,
                                   [look](const SkinElement&) { return look; })});
    }
    return out;
}

} // namespace skin
