#include "gui/ui/EtchedLine.h"

#include <QPainter>

namespace vbu {

EtchedLine::EtchedLine(int left, int top, int width, QWidget *parent) : QWidget(parent)
{
    setGeometry(left, top, width, 2);
}

void EtchedLine::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(QRect(0, 0, width(), 1), QColor(128, 128, 128));
    p.fillRect(QRect(0, 1, width(), 1), Qt::white);
}

} // namespace vbu
