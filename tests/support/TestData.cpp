#include "support/TestData.h"

#include "core/app/AppInfo.h"

#include <QDir>
#include <QFile>
#include <QSettings>

using namespace Qt::StringLiterals;

namespace vbu::test {

QString dataPath(const QString &relative)
{
    return QStringLiteral(VBU_TEST_DATA_DIR) + u'/' + relative;
}

QStringList corpusFiles()
{
    QStringList out;
    const QDir dir(dataPath(u"corpus"_s));
    for (const QString &name : dir.entryList({u"*.cfg"_s}, QDir::Files, QDir::Name))
        out.append(dir.filePath(name));
    return out;
}

QString binDir()
{
    return QStringLiteral(VBU_BIN_DIR);
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("cannot read test file %s", qPrintable(path));
    return f.readAll();
}

QByteArray withCrLf(QByteArray bytes)
{
    bytes.replace("\r\n", "\n").replace('\r', '\n');
    if (!bytes.isEmpty() && !bytes.endsWith('\n'))
        bytes += '\n';
    return bytes.replace("\n", "\r\n");
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write test file %s", qPrintable(path));
}

void clearRecentFiles()
{
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, AppInfo::title(), u"recent-files"_s);
    settings.clear();
    settings.sync();
}

} // namespace vbu::test
