#pragma once

#include "core/script/ScriptLines.h"

#include <QString>

#include <functional>

namespace vbu {

// Writes a script the way the game reads it: every line followed by CR LF, nothing else.
// A file keeps its identity (owner, mode, links) and, wherever that allows, is replaced atomically.
class ScriptWriter final
{
public:
    // Told how many lines are written so far; called as the write goes on and at its end.
    using Progress = std::function<void(qsizetype linesWritten)>;
    // Takes a block of bytes; false when it could not.
    using Put = std::function<bool(QByteArrayView block)>;

    // On failure returns false and says why in *error.
    static bool writeFile(const QString &path, const ScriptLines &lines, QString *error, const Progress &progress = {});
    static QByteArray toBytes(const ScriptLines &lines);
    // Hands the lines, each followed by lineEnd, to put in large blocks, since a million small
    // writes would cost more than the disk; stops at the first block put refuses.
    static bool writeBlocks(const ScriptLines &lines, QByteArrayView lineEnd, const Put &put,
                            const Progress &progress = {});
};

} // namespace vbu
