#include "core/app/FileExists.h"

#include <QFileInfo>

namespace vbu {

bool fileExists(const QString &path)
{
    // Hidden and system files are marks of Windows; a leading dot is no such mark, so here only
    // folders, pipes and devices are kept out.
    return !path.isEmpty() && QFileInfo(path).isFile();
}

} // namespace vbu
