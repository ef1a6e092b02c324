#include "gui/ui/LogoBox.h"

#include "core/ui/LogoBands.h"

#include <QPainter>
#include <QResizeEvent>

namespace vbu {

namespace {

// 96 dots per inch, the resolution the design's twips assume.
constexpr int dotsPerMeter = 3780;

} // namespace

LogoBox::LogoBox(QWidget *parent) : QWidget(parent), m_foreColor(Qt::white)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    QFont f = font();
    f.setPointSize(8);
    f.setBold(true);
    setFont(f);
    resize(designSize);
    m_image = blank(designSize, backColor());
}

QColor LogoBox::backColor() const
{
    return palette().color(QPalette::Active, QPalette::Button);
}

double LogoBox::twipsWidth() const
{
    return double(m_image.width()) * Twips::perPixel;
}

double LogoBox::twipsHeight() const
{
    return double(m_image.height()) * Twips::perPixel;
}

QImage LogoBox::blank(const QSize &size, const QColor &fill)
{
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(fill);
    return image;
}

void LogoBox::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    const QRect r = event->rect();
    p.fillRect(r, backColor());
    p.drawImage(r.topLeft(), m_image, r);
}

void LogoBox::resizeEvent(QResizeEvent *event)
{
    if (event->size() == m_image.size() || event->size().isEmpty())
        return;
    // A larger box keeps what was painted; the new part shows the background.
    QImage grown = blank(event->size(), backColor());
    QPainter p(&grown);
    p.drawImage(0, 0, m_image);
    p.end();
    m_image = grown;
}

} // namespace vbu
