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

    // On failure returns false and says why in *error.
    static bool writeFile(const QString &path, const ScriptLines &lines, QString *error, const Progress &progress = {});
    static QByteArray toBytes(const ScriptLines &lines);
};

} // namespace vbu
