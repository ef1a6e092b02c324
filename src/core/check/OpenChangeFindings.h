#pragma once

#include "core/check/ScriptChecker.h"
#include "core/script/OpenMarks.h"

namespace vbu {

// Warnings for the lines that Open does not take back as they stand: the game runs such a line
// whole, but Open cuts it into items, and Save writes each item as a line of its own.
class OpenChangeFindings final
{
public:
    // "Open reads this line as 2 items; saving them writes 2 lines (use Open Exactly)".
    static QString text(const OpenChanges::Entry &entry);
    // A file's findings, in line order, with a warning at the first line of each entry.
    static QList<CheckFinding> withChanges(QList<CheckFinding> findings, const OpenChanges &changes);
    // The list's findings, in line order, with a warning on each row that carries a mark.
    static QList<CheckFinding> withMarks(QList<CheckFinding> findings, const OpenMarks &marks);
};

} // namespace vbu
