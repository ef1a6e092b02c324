#pragma once

#include "core/script/OpenChanges.h"
#include "core/script/ScriptLines.h"

#include <QString>

namespace vbu {

// Reads a script file field by field, as Open and the command line put it into the list:
// a line holding commas gives one item per field, and a field that begins with a double
// quote runs to the next one, across line ends, and loses that quote pair. Open Exactly
// instead takes every line as one item, as it stands.
class ScriptReader final
{
public:
    enum class Mode {
        Open,        // every field becomes an item, empty ones too
        CommandLine, // empty fields are left out
        Exact        // every line becomes an item; CR, LF and CR LF end a line
    };

    struct Result
    {
        bool ok = false;
        // The file could be opened; when this is true and ok is false, reading it failed or it
        // is no regular file or too large.
        bool opened = false;
        ScriptLines lines;
        OpenChanges changes; // the lines that were not taken back as they stand
        QString error;       // why the file could not be read, when !ok
    };

    // Far above any real script (players' configs are a few KiB) and far below the 2 GiB the
    // item starts can address, so an endless /proc file or a huge sparse one is refused cheaply.
    static constexpr qint64 maxFileSize = qint64(256) * 1024 * 1024;

    // changes, when given, receives the lines that Open or the command line changed.
    static ScriptLines parse(QByteArray bytes, Mode mode, OpenChanges *changes = nullptr);
    static Result readFile(const QString &path, Mode mode);
};

} // namespace vbu
