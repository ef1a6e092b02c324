#include "gui/catalogue/CommandImages.h"

#include "core/catalogue/Catalogue.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace vbu {

namespace {

QPixmap folder(const QColor &outline)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.moveTo(1.5, 4.5);
    path.lineTo(6, 4.5);
    path.lineTo(7.5, 3);
    path.lineTo(10.5, 3);
    path.lineTo(10.5, 4.5);
    path.lineTo(14.5, 4.5);
    path.lineTo(14.5, 13.5);
    path.lineTo(1.5, 13.5);
    path.closeSubpath();
    p.setPen(QPen(outline, 1.4));
    p.setBrush(QColor(244, 214, 120));
    p.drawPath(path);
    p.setPen(QPen(outline.lighter(130), 1));
    p.drawLine(QPointF(2.5, 6.5), QPointF(13.5, 6.5));
    return pixmap;
}

QPixmap command()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 70), 1));
    p.setBrush(QColor(30, 30, 36));
    p.drawRoundedRect(QRectF(1.5, 2.5, 13, 11), 1.5, 1.5);
    p.setPen(QPen(QColor(230, 170, 40), 1.4));
    p.drawLine(QPointF(4, 6), QPointF(6.5, 8));
    p.drawLine(QPointF(6.5, 8), QPointF(4, 10));
    p.setPen(QPen(QColor(210, 210, 210), 1.2));
    p.drawLine(QPointF(8, 10.5), QPointF(12, 10.5));
    return pixmap;
}

} // namespace

QIcon CommandImages::icon(int image)
{
    switch (image) {
    case Catalogue::FolderImage:
        return QIcon(folder(QColor(30, 140, 40)));
    case Catalogue::MarkedFolderImage:
        return QIcon(folder(QColor(200, 30, 30)));
    case Catalogue::CommandImage:
        return QIcon(command());
    default:
        return {};
    }
}

} // namespace vbu
