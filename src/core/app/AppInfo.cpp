#include "core/app/AppInfo.h"

using namespace Qt::StringLiterals;

namespace vbu::AppInfo {

QString title()
{
    return u"Vantor's Bind Utility"_s;
}

QString versionText()
{
    return QString::number(versionMajor()) + u'.' + QString::number(versionMinor()) + u'.' +
           QString::number(versionPatch());
}

int versionMajor()
{
    return VBU_VERSION_MAJOR;
}

int versionMinor()
{
    return VBU_VERSION_MINOR;
}

int versionPatch()
{
    return VBU_VERSION_PATCH;
}

QString contactAddress()
{
    return u"vbu-feedback@users.noreply.codeberg.org"_s;
}

} // namespace vbu::AppInfo
