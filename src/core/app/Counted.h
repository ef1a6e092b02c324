#pragma once

#include <QString>

namespace vbu {

// "1 line", "2 lines": the number, then the word for one or for many.
inline QString counted(qsizetype n, const QString &one, const QString &many)
{
    return QString::number(n) + u' ' + (n == 1 ? one : many);
}

} // namespace vbu
