#include "gui/editor/KeyCap.h"

#include <QKeyEvent>
#include <QPainter>

using namespace Qt::StringLiterals;

namespace vbu {

namespace {

// Long names break after "kp_", "mouse" and "mwheel", and before "arrow", to fit narrow caps.
QString breakLines(QString label)
{
    if (label.endsWith(u"arrow"_s) && label.size() > 6)
        label.insert(label.size() - 5, u'\n');
    for (const QString &first : {u"kp_"_s, u"mouse"_s, u"mwheel"_s}) {
        // "kp_5" fits as it is.
        if (label.startsWith(first) && label.size() > first.size() + (first == u"kp_"_s ? 1 : 0))
            return label.insert(first.size(), u'\n');
    }
    return label;
}

} // namespace

KeyCap::KeyCap(const QByteArray &name, const QString &label, QWidget *parent) : QAbstractButton(parent), m_name(name)
{
    setFocusPolicy(Qt::ClickFocus);
    setText(breakLines(label.isEmpty() ? QString::fromLatin1(name) : label));
    setAccessibleName(QString::fromLatin1(name));
    setToolTip(QString::fromLatin1(name));
    setUse(KeyMapBindings::Use::Free);
}

void KeyCap::setUse(KeyMapBindings::Use use)
{
    m_use = use;
    switch (use) {
    case KeyMapBindings::Use::Free:
        setAccessibleDescription(u"not bound"_s);
        break;
    case KeyMapBindings::Use::Bound:
        setAccessibleDescription(u"bound"_s);
        break;
    case KeyMapBindings::Use::BoundTwice:
        setAccessibleDescription(u"bound twice"_s);
        break;
    }
    update();
}

void KeyCap::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF cap = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    const QPalette &pal = palette();
    QColor fill = pal.color(QPalette::Button);
    QColor ink = pal.color(QPalette::ButtonText);
    if (m_use != KeyMapBindings::Use::Free) {
        fill = pal.color(QPalette::Highlight);
        ink = pal.color(QPalette::HighlightedText);
    }
    p.setPen(QPen(hasFocus() ? ink : pal.color(QPalette::Mid), hasFocus() ? 2.5 : 1.0));
    p.setBrush(fill);
    p.drawRoundedRect(cap, 4, 4);
    if (hasFocus()) {
        // A second ring in the other colour, so the focus shows on shaded and plain caps.
        p.setPen(QPen(fill.lightness() > 128 ? Qt::black : Qt::white, 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(cap.adjusted(2.5, 2.5, -2.5, -2.5), 2, 2);
    }
    if (m_use == KeyMapBindings::Use::BoundTwice) {
        // A red corner: bound twice.
        const qreal side = std::min(cap.width(), cap.height()) * 0.45;
        const QPointF corner = cap.topRight();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(210, 30, 30));
        p.drawPolygon(QPolygonF{corner, corner - QPointF(side, 0), corner + QPointF(0, side)});
    }

    QFont f = font();
    f.setPixelSize(10);
    const QRectF area = cap.adjusted(2, 2, -2, -2);
    // Smaller where the name would not fit the cap.
    for (; f.pixelSize() > 6; f.setPixelSize(f.pixelSize() - 1)) {
        const QRectF needed = QFontMetricsF(f).boundingRect(area, Qt::AlignCenter, text());
        if (needed.width() <= area.width() && needed.height() <= area.height())
            break;
    }
    p.setFont(f);
    p.setPen(ink);
    p.drawText(area, Qt::AlignCenter, text());
}

void KeyCap::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down) {
        emit stepRequested(int(key == Qt::Key_Right) - int(key == Qt::Key_Left),
                           int(key == Qt::Key_Down) - int(key == Qt::Key_Up));
    } else if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
        // Held down, a key is pressed once.
        if (!event->isAutoRepeat())
            emit pressRequested();
    } else {
        QAbstractButton::keyPressEvent(event);
    }
}

void KeyCap::focusInEvent(QFocusEvent *event)
{
    QAbstractButton::focusInEvent(event);
    emit focused();
}

void KeyCap::mouseDoubleClickEvent(QMouseEvent *event)
{
    QAbstractButton::mouseDoubleClickEvent(event);
    emit nameRequested();
}

} // namespace vbu
