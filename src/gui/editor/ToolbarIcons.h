#pragma once

#include <QIcon>
#include <QString>

namespace vbu {

// The 16 by 16 toolbar pictures by image key. The desktop theme's icon where
// there is one, else a picture of our own, so a bare system shows icons too.
class ToolbarIcons final
{
public:
    static QIcon icon(const QString &imageKey);
    // Our own picture for the key; a null pixmap for an unknown key.
    static QPixmap drawn(const QString &imageKey);
};

} // namespace vbu
