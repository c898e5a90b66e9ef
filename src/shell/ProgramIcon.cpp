#include "ProgramIcon.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>

namespace {

QPixmap tile(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF box(0.5, 0.5, size - 1.0, size - 1.0);
    p.setPen(QPen(QColor(0x0b, 0x3d, 0x91), qMax(1.0, size / 32.0)));
    p.setBrush(QColor(0x1e, 0x6f, 0xd9));
    p.drawRoundedRect(box, size / 6.0, size / 6.0);
    QFont font;
    font.setPixelSize(qRound(size * 0.72));
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(box, Qt::AlignCenter, QStringLiteral("仓"));
    return pixmap;
}

} // namespace

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128})
        icon.addPixmap(tile(size));
    return icon;
}
