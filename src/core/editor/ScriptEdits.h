#pragma once

#include "core/script/OpenChanges.h"
#include "core/script/ScriptLines.h"

#include <QObject>

class QUndoStack;

namespace vbu {

class ScriptModel;

// Every change the player makes to the script goes through here, so that each one can be
// undone and redone. Loading a script, New and Close start a fresh history.
class ScriptEdits final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ScriptEdits)

public:
    ScriptEdits(ScriptModel &model, QObject *parent = nullptr);
    ~ScriptEdits() override;

    QUndoStack *history() const { return m_history; }
    ScriptModel &model() const { return m_model; }

    void insert(qsizetype row, const QByteArray &line);
    void append(const QByteArray &line);
    void remove(qsizetype row);
    void replace(qsizetype row, const QByteArray &line);
    void move(qsizetype from, qsizetype to);
    // Empties the list as one change that can be undone.
    void clear();

    // A whole new script, not a change: the history starts again. changes: the lines of the
    // file that Open changed, whose rows are marked.
    void load(ScriptLines lines, OpenChanges changes = {});
    void reset() { load(ScriptLines()); }

private:
    ScriptModel &m_model;
    QUndoStack *m_history;
};

} // namespace vbu
