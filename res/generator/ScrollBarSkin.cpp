// The scroll-bar skin: a grid of 9 columns (up, down, thumb and track of a
// vertical bar, then left, right, thumb and track of a horizontal one, and a
// spare column) by 3 rows (normal, hover, pressed) of square cells. Tracks
// and the thumb's middle are uniform along the bar's axis, because the bar
// tiles them; the thumb's rounded ends lie in its first and last 3 pixels.
#include "SkinImages.h"
#include "SkinPainter.h"
#include "Skins.h"

#include <QPainterPath>

namespace skin {
namespace {

constexpr int kCell = 15;

const QColor kTrack(0x12, 0x14, 0x18);
const QColor kTrackEdge(0x1c, 0x1f, 0x25);

QColor partColour(int state) {
    switch (state) {
    case 1:
        return QColor(0x6a, 0x72, 0x80);
    case 2:
        return palette().accent;
    default:
        return QColor(0x4a, 0x50, 0x5b);
    }
}

void drawTrack(QPainter& p, const QRect& cell, bool vertical) {
    p.fillRect(cell, kTrack);
    p.setPen(kTrackEdge);
    if (vertical) {
        p.drawLine(cell.left(), cell.top(), cell.left(), cell.bottom());
        p.drawLine(cell.right(), cell.top(), cell.right(), cell.bottom());
    } else {
        p.drawLine(cell.left(), cell.top(), cell.right(), cell.top());
        p.drawLine(cell.left(), cell.bottom(), cell.right(), cell.bottom());
    }
}

// The thumb across the full cell along the axis, rounded within 3 pixels of
// each end, so that its middle can be repeated.
void drawThumb(QPainter& p, const QRect& cell, bool vertical, int state) {
    drawTrack(p, cell, vertical);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(partColour(state));
    const QRectF body = vertical ? QRectF(cell.left() + 3, cell.top(), kCell - 6, kCell)
                                 : QRectF(cell.left(), cell.top() + 3, kCell, kCell - 6);
    p.drawRoundedRect(body, 3, 3);
    p.restore();
}

void drawArrow(QPainter& p, const QRect& cell, int direction, int state) {
    // direction: 0 up, 1 down, 2 left, 3 right
    p.fillRect(cell, QColor(0x1a, 0x1d, 0x22));
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(state == 0 ? QColor(0x26, 0x2a, 0x31) : QColor(0x30, 0x35, 0x3e));
    p.drawRoundedRect(QRectF(cell).adjusted(1, 1, -1, -1), 3, 3);
    const QPointF c = QRectF(cell).center();
    const qreal a = 3.5;
    QPainterPath t;
    switch (direction) {
    case 0:
        t.moveTo(c.x() - a, c.y() + a / 2);
        t.lineTo(c.x() + a, c.y() + a / 2);
        t.lineTo(c.x(), c.y() - a / 2 - 1);
        break;
    case 1:
        t.moveTo(c.x() - a, c.y() - a / 2);
        t.lineTo(c.x() + a, c.y() - a / 2);
        t.lineTo(c.x(), c.y() + a / 2 + 1);
        break;
    case 2:
        t.moveTo(c.x() + a / 2, c.y() - a);
        t.lineTo(c.x() + a / 2, c.y() + a);
        t.lineTo(c.x() - a / 2 - 1, c.y());
        break;
    default:
        t.moveTo(c.x() - a / 2, c.y() - a);
        t.lineTo(c.x() - a / 2, c.y() + a);
        t.lineTo(c.x() + a / 2 + 1, c.y());
        break;
    }
    t.closeSubpath();
    p.setBrush(state == 0   ? QColor(0xa0, 0xa7, 0xb2)
               : state == 1 ? QColor(Qt::white)
                            : palette().accentLight);
    p.drawPath(t);
    p.restore();
}

} // namespace

ImageList scrollBarSkin() {
    QImage image(9 * kCell, 3 * kCell, QImage::Format_RGB32);
    image.fill(kTrack);
    QPainter p(&image);
    for (int state = 0; state < 3; ++state) {
        const auto cell = [&](int column) {
            return QRect(column * kCell, state * kCell, kCell, kCell);
        };
        drawArrow(p, cell(0), 0, state);
        drawArrow(p, cell(1), 1, state);
        drawThumb(p, cell(2), true, state);
        drawTrack(p, cell(3), true);
        drawArrow(p, cell(4), 2, state);
        drawArrow(p, cell(5), 3, state);
        drawThumb(p, cell(6), false, state);
        drawTrack(p, cell(7), false);
        p.fillRect(cell(8), kTrack);
    }
    p.end();
    return {{layout::skinImageId(layout::SkinImage::ScrollBar, 0), image}};
}

} // namespace skin
