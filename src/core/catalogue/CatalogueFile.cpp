#include "core/catalogue/CatalogueFile.h"

#include "core/app/AppInfo.h"
#include "core/app/FileExists.h"
#include "core/catalogue/CatalogueProgress.h"
#include "core/catalogue/CatalogueRecords.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace vbu::CatalogueFile {

namespace {

struct Bytes
{
    Load::Status status = Load::Status::Missing;
    QString error;
    QByteArray data;
};

Bytes readBytes(const QString &path)
{
    Bytes out;
    if (!fileExists(path))
        return out;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        // Removed between the check and the open: the same as never there.
        if (!QFileInfo::exists(path))
            return out;
        out.status = Load::Status::Unreadable;
        out.error = file.errorString();
        return out;
    }
    const QString tooLarge =
        u"The file is larger than %1 MiB, too large for a command list."_s.arg(maxFileSize / (1024 * 1024));
    if (file.size() > maxFileSize) {
        out.status = Load::Status::Unreadable;
        out.error = tooLarge;
        return out;
    }
    out.data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        out.status = Load::Status::Unreadable;
        out.error = file.errorString();
        out.data.clear();
        return out;
    }
    // It may have grown since its size was asked.
    if (out.data.size() > maxFileSize) {
        out.status = Load::Status::Unreadable;
        out.error = tooLarge;
        out.data.clear();
        return out;
    }
    out.status = Load::Status::Loaded;
    return out;
}

// An update writes a new file beside the old one and renames it over it: a folder this user may
// not write, or an old file that is read-only for them, keeps it out. (A folder that is not there
// at all does not count: writing there fails, and that failure is reported as it is.)
bool canReplace(const QString &path)
{
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    return (!folder.exists() || folder.isWritable()) && (!file.exists() || file.isWritable());
}

} // namespace

QString path()
{
    return path(QCoreApplication::applicationDirPath());
}

QString path(const QString &programDir)
{
    const QString beside = programDir + u"/commands.dat"_s;
    const QString installed = programDir + u"/../share/vbu/commands.dat"_s;
    const QString own = !fileExists(beside) && fileExists(installed) ? QFileInfo(installed).absoluteFilePath() : beside;
    const QString user = userCopyPath();
    return !canReplace(own) && fileExists(user) ? user : own;
}

// The generic data folder and a name of ours rather than the application's own data folder:
// that one is named after the application, and the editor and vbu-cfg must share the copy.
QString userCopyPath()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return data.isEmpty() ? QString() : data + u"/vbu/commands.dat"_s;
}

QString updatePath(const QString &readPath)
{
    const QString user = userCopyPath();
    return canReplace(readPath) || user.isEmpty() ? readPath : user;
}

bool fileExists(const QString &path)
{
    return vbu::fileExists(path);
}

qsizetype countLines(const QString &path)
{
    const Bytes bytes = readBytes(path);
    if (bytes.status != Load::Status::Loaded)
        return -1;
    return CatalogueRecords::count(bytes.data);
}

Load LoadCatalogue(const QString &path, CatalogueProgress *progress)
{
    Load load;
    Bytes bytes = readBytes(path);
    load.status = bytes.status;
    load.error = std::move(bytes.error);
    if (load.status == Load::Status::Loaded)
        load.catalogue = Catalogue::parse(bytes.data, progress);
    if (progress)
        progress->setValue(0);
    return load;
}

QString missingFileMessage(QStringView lineBreak)
{
    return u"Critical System File could not be found.Please reinstall and try again."_s + lineBreak +
           u"If problem persists please contact: "_s + AppInfo::contactAddress();
}

} // namespace vbu::CatalogueFile
