#pragma once

#include "core/catalogue/Catalogue.h"

#include <QString>

namespace vbu {

class CatalogueProgress;

// The catalogue file commands.dat: where it is, and reading it for the Command List.
//
//   CatalogueFile::Load load = CatalogueFile::loadCatalogue(CatalogueFile::path(), &progress);
//   switch (load.status) { Missing: the "Error Opening File" message; Unreadable: load.error;
//                          Loaded: fill the tree from load.catalogue, caption from its version }
namespace CatalogueFile {

// A catalogue holds at most 32,766 records, a few hundred KiB of them; anything past this is
// refused, so a stray large, binary or endless /proc file cannot stall the window or fill the
// memory.
constexpr qint64 maxFileSize = qint64(8) * 1024 * 1024;

struct Load
{
    enum class Status {
        Loaded,    // catalogue holds the file, possibly empty
        Missing,   // no such file (or it went between the check and the read)
        Unreadable // it is there but could not be read, or is too large; error says why
    };
    Status status = Status::Missing;
    QString error;
    Catalogue catalogue;
};

// The program's catalogue is commands.dat beside the executable or, when only the installed copy
// exists, <bin>/../share/vbu/commands.dat. Where the program's catalogue cannot be replaced by
// this user and the user's own copy exists, path() is that copy; otherwise it is the program's.
QString path();
QString path(const QString &programDir);

// The user's own catalogue, written by an update where the program's cannot be replaced:
// vbu/commands.dat under the user's data folder ($XDG_DATA_HOME, else ~/.local/share).
// Empty when the system names no such folder.
QString userCopyPath();

// Where an update of the catalogue read from readPath is written: readPath itself where this
// user may replace it (a build tree, a folder of one's own), else the user's own copy.
QString updatePath(const QString &readPath);

// True for a non-empty name of an existing regular file.
bool fileExists(const QString &path);

// The number of records in the file, read as loadCatalogue reads them (empty records and the
// version line count); -1 when the file is missing or cannot be read.
qsizetype countLines(const QString &path);

// Reads the file into a catalogue. With a progress: the maximum is set to the record count
// plus one, the value follows the nodes added, and the value goes back to 0 at the end,
// whatever the outcome.
Load loadCatalogue(const QString &path, CatalogueProgress *progress = nullptr);

// "Critical System File could not be found.Please reinstall and try again." + lineBreak +
// "If problem persists please contact: " + the contact address.
QString missingFileMessage(QStringView lineBreak);

} // namespace CatalogueFile
} // namespace vbu
