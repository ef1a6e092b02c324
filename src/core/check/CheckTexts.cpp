#include "core/check/CheckTexts.h"

#include <QLocale>

using namespace Qt::StringLiterals;

namespace vbu::checkTexts {

QString number(qsizetype n)
{
    static const QLocale english(QLocale::English, QLocale::UnitedStates);
    return english.toString(qlonglong(n));
}

QString shown(QByteArrayView bytes)
{
    constexpr qsizetype most = 40;
    if (bytes.size() <= most)
        return QString::fromLatin1(bytes);
    return QString::fromLatin1(bytes.first(most - 3)) + u"..."_s;
}

QString boundAgain(QByteArrayView key, qsizetype line, qsizetype earlier)
{
    // Built piece by piece rather than with arg(): scripts can hold many of these.
    if (earlier == line)
        return u"Key '"_s + shown(key) +
               u"' is bound twice on this line, and the later bind replaces the earlier one."_s;
    return u"Key '"_s + shown(key) + u"' is bound again here, which replaces its binding from line "_s +
           QString::number(earlier + 1) + u'.';
}

} // namespace vbu::checkTexts
