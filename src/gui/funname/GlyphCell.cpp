#include "gui/funname/GlyphCell.h"

#include <QKeyEvent>
#include <QPainter>

namespace vbu {

GlyphCell::GlyphCell(QWidget *parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::ClickFocus);
    setFixedSize(side, side);
}

void GlyphCell::setGlyph(const QImage &glyph)
{
    m_glyph = glyph;
    update();
}

void GlyphCell::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    // Font pixels stay square blocks at any screen scale.
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (!m_glyph.isNull())
        p.drawImage(rect(), m_glyph);
    else if (m_marksEmpty)
        p.fillRect(2, side - 2, side - 4, 1, QColor(64, 64, 64));
    if (isDown() || hasFocus()) {
        // Two rings, light outside and dark inside, so the focus shows on black and on bright glyphs.
        p.setPen(isDown() ? QColor(255, 210, 60) : QColor(255, 255, 255));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
        p.setPen(Qt::black);
        p.drawRect(rect().adjusted(1, 1, -2, -2));
    }
}

void GlyphCell::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Left:
        emit stepRequested(-1, 0);
        break;
    case Qt::Key_Right:
        emit stepRequested(1, 0);
        break;
    case Qt::Key_Up:
        emit stepRequested(0, -1);
        break;
    case Qt::Key_Down:
        emit stepRequested(0, 1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Held down, it picks once, as Space does.
        if (!event->isAutoRepeat())
            click();
        break;
    default:
        // Space is the button's own; everything else goes on to the window.
        QAbstractButton::keyPressEvent(event);
    }
}

void GlyphCell::focusInEvent(QFocusEvent *event)
{
    QAbstractButton::focusInEvent(event);
    emit focused();
}

} // namespace vbu
