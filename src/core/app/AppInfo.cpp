#include "core/app/AppInfo.h"

using namespace Qt::StringLiterals;

namespace vbu::AppInfo {

QString title()
{
    return u"Vantor's Bind Utility"_s;
}

QString versionText()
{
    return QString::number(VBU_VERSION_MAJOR) + u'.' + QString::number(VBU_VERSION_MINOR) + u'.' +
           QString::number(VBU_VERSION_PATCH);
}

QString contactAddress()
{
    return u"vbu-feedback@users.noreply.codeberg.org"_s;
}

} // namespace vbu::AppInfo
