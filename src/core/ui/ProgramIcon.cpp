#include "core/ui/ProgramIcon.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

using namespace Qt::StringLiterals;

namespace vbu::ProgramIcon {

QImage render(int size)
{
    QImage image(QSize(size, size).expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    // Drawn on a 32-unit grid.
    p.scale(size / 32.0, size / 32.0);

    // Base of the key, seen from slightly above: darker at the front.
    QLinearGradient base(0, 2, 0, 30);
    base.setColorAt(0, QColor(126, 82, 44));
    base.setColorAt(1, QColor(48, 28, 14));
    p.setPen(QPen(QColor(24, 14, 6), 1));
    p.setBrush(base);
    p.drawRoundedRect(QRectF(1.5, 2.5, 29, 28), 5, 5);

    // Top face, lit from the upper left.
    QLinearGradient face(6, 4, 24, 24);
    face.setColorAt(0, QColor(206, 158, 96));
    face.setColorAt(0.55, QColor(150, 100, 54));
    face.setColorAt(1, QColor(96, 60, 30));
    p.setPen(QPen(QColor(232, 196, 140, 180), 0.8));
    p.setBrush(face);
    p.drawRoundedRect(QRectF(5, 4, 22, 20), 3.5, 3.5);

    // Scratches and pits of old metal.
    p.setPen(QPen(QColor(70, 42, 20, 150), 0.6));
    p.drawLine(QPointF(8, 20), QPointF(12, 18.5));
    p.drawLine(QPointF(21, 7), QPointF(24.5, 9));
    p.setBrush(QColor(60, 36, 16, 170));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(23.5, 20.5), 0.9, 0.9);
    p.drawEllipse(QPointF(8.5, 7.5), 0.7, 0.7);

    // The letter, cut in and filled with a glow.
    QFont font;
    font.setFamilies({u"DejaVu Serif"_s, u"C059"_s, u"serif"_s});
    font.setBold(true);
    font.setPixelSize(17);
    QPainterPath letter;
    letter.addText(0, 0, font, u"B"_s);
    const QRectF box = letter.boundingRect();
    letter.translate(16 - box.center().x(), 14 - box.center().y());
    p.setBrush(QColor(40, 20, 6, 200));
    p.drawPath(letter.translated(0.8, 0.8));
    QLinearGradient glow(0, 6, 0, 22);
    glow.setColorAt(0, QColor(255, 228, 140));
    glow.setColorAt(0.5, QColor(250, 160, 40));
    glow.setColorAt(1, QColor(190, 70, 10));
    p.setBrush(glow);
    p.setPen(QPen(QColor(70, 28, 4), 0.6));
    p.drawPath(letter);
    return image;
}

} // namespace vbu::ProgramIcon
