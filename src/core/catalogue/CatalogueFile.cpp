#include "core/catalogue/CatalogueFile.h"

#include "core/app/AppInfo.h"
#include "core/app/BoundedFile.h"
#include "core/app/FileExists.h"
#include "core/catalogue/CatalogueProgress.h"
#include "core/catalogue/CatalogueRecords.h"

#include <QCoreApplication>
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
    BoundedFile::Result file = BoundedFile::read(path, maxFileSize, u"a command list");
    switch (file.status) {
    case BoundedFile::Status::Ok:
        out.status = Load::Status::Loaded;
        out.data = std::move(file.bytes);
        break;
    case BoundedFile::Status::Missing:
        // Removed between the check and the open: the same as never there.
        break;
    case BoundedFile::Status::Unopened:
    case BoundedFile::Status::Unreadable:
        out.status = Load::Status::Unreadable;
        out.error = std::move(file.error);
        break;
    }
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

Load loadCatalogue(const QString &path, CatalogueProgress *progress)
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
