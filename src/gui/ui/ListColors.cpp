#include "gui/ui/ListColors.h"

#include <QWidget>

namespace vbu::ListColors {

namespace {

void setRole(QWidget *widget, QPalette::ColorRole role, const QColor &color)
{
    QPalette palette = widget->palette();
    // Sets the colour in all groups, so the list looks the same when its window is inactive.
    palette.setColor(role, color);
    widget->setPalette(palette);
}

} // namespace

QColor foreColor(const QWidget *widget)
{
    return widget->palette().color(QPalette::Active, QPalette::Text);
}

QColor backColor(const QWidget *widget)
{
    return widget->palette().color(QPalette::Active, QPalette::Base);
}

void setForeColor(QWidget *widget, const QColor &color)
{
    setRole(widget, QPalette::Text, color);
}

void setBackColor(QWidget *widget, const QColor &color)
{
    setRole(widget, QPalette::Base, color);
}

} // namespace vbu::ListColors
