#include "core/catalogue/CatalogueFile.h"

#include "core/app/AppInfo.h"
#include "core/app/BoundedFile.h"
#include "core/app/FileExists.h"
#include "core/catalogue/CatalogueProgress.h"
#include "core/catalogue/CatalogueRecords.h"

#include <QCoreApplication>
#include <QFileInfo>

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

} // namespace

QString path()
{
    return path(QCoreApplication::applicationDirPath());
}

QString path(const QString &programDir)
{
    const QString beside = programDir + u"/commands.dat"_s;
    const QString installed = programDir + u"/../share/vbu/commands.dat"_s;
    if (!fileExists(beside) && fileExists(installed))
        return QFileInfo(installed).absoluteFilePath();
    return beside;
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
