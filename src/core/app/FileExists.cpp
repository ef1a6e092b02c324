#include "core/app/FileExists.h"

#include <QFileInfo>

namespace vbu {

bool fileExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.isFile() && !info.isHidden();
}

} // namespace vbu
