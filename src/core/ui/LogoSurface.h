#pragma once

#include <QColor>
#include <QFont>

class QPaintDevice;

namespace vbu {

// What the logo painter draws on: a device whose contents stay until painted over, its size
// in twips, the font and colours it carries for text, and a way to show what was painted.
class LogoSurface
{
public:
    virtual ~LogoSurface() = default;

    virtual QPaintDevice *drawingDevice() = 0;
    virtual double twipsWidth() const = 0;
    virtual double twipsHeight() const = 0;
    virtual QFont drawingFont() const = 0;
    // Text colour; text is drawn over what is there unless the surface says otherwise.
    virtual QColor foreColor() const = 0;
    virtual bool fontTransparent() const { return true; }
    virtual QColor backColor() const { return Qt::white; }
    virtual void refresh() = 0;
};

} // namespace vbu
