#pragma once

#include <QColor>

class QWidget;

namespace vbu::ListColors {

// The text and background colours of a list or text box: the palette's Text and Base, the same
// in every colour group.
QColor foreColor(const QWidget *widget);
QColor backColor(const QWidget *widget);
void setForeColor(QWidget *widget, const QColor &color);
void setBackColor(QWidget *widget, const QColor &color);

} // namespace vbu::ListColors
