#include "ProgramIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace shell {

namespace {

QPixmap drawIcon(int size, bool corv) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal m = size / 16.0;
    const QRectF cap(m, m, size - 2 * m, size - 2 * m);
    QLinearGradient face(cap.topLeft(), cap.bottomLeft());
    face.setColorAt(0, QColor(0x3a, 0x3f, 0x4a));
    face.setColorAt(1, QColor(0x1c, 0x1f, 0x26));
    p.setPen(QPen(QColor(0x2f, 0x7d, 0xf6), m));
    p.setBrush(face);
    p.drawRoundedRect(cap, size / 5.0, size / 5.0);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(size * 9 / 16);
    p.setFont(font);
    p.setPen(QColor(0xf2, 0xf4, 0xf8));
    p.drawText(cap, Qt::AlignCenter, corv ? QStringLiteral("C") : QStringLiteral("V"));
    return pixmap;
}

} // namespace

QIcon programIcon(int deviceType) {
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addPixmap(drawIcon(size, deviceType == 2));
    return icon;
}

} // namespace shell
