#include "core/editor/ScriptEdits.h"

#include "core/script/ScriptModel.h"

#include <QUndoStack>

using namespace Qt::StringLiterals;

namespace vbu {

namespace {

class InsertLine final : public QUndoCommand
{
public:
    InsertLine(ScriptModel &m, qsizetype row, QByteArray line)
        : QUndoCommand(u"Add Line"_s), m_model(m), m_row(row), m_line(std::move(line))
    {}
    void redo() override { m_model.insert(m_row, m_line); }
    void undo() override { m_model.remove(m_row); }

private:
    ScriptModel &m_model;
    qsizetype m_row;
    QByteArray m_line;
};

class RemoveLine final : public QUndoCommand
{
public:
    RemoveLine(ScriptModel &m, qsizetype row) : QUndoCommand(u"Remove Line"_s), m_model(m), m_row(row) {}
    void redo() override
    {
        m_line = m_model.line(m_row);
        m_mark = m_model.marks().markOf(m_row);
        m_model.remove(m_row);
    }
    void undo() override { m_model.insert(m_row, m_line, m_mark); }

private:
    ScriptModel &m_model;
    qsizetype m_row;
    QByteArray m_line;
    OpenMarks::Mark m_mark = OpenMarks::none;
};

class ReplaceLine final : public QUndoCommand
{
public:
    ReplaceLine(ScriptModel &m, qsizetype row, QByteArray line)
        : QUndoCommand(u"Edit Line"_s), m_model(m), m_row(row), m_other(std::move(line))
    {}
    void redo() override { swap(); }
    void undo() override { swap(); }

private:
    void swap()
    {
        QByteArray current = m_model.line(m_row);
        const OpenMarks::Mark mark = m_model.marks().markOf(m_row);
        m_model.setLine(m_row, m_other, m_otherMark);
        m_other = std::move(current);
        m_otherMark = mark;
    }
    ScriptModel &m_model;
    qsizetype m_row;
    QByteArray m_other;
    // The new text has no mark; the old one gets its own back.
    OpenMarks::Mark m_otherMark = OpenMarks::none;
};

class MoveLine final : public QUndoCommand
{
public:
    MoveLine(ScriptModel &m, qsizetype from, qsizetype to)
        : QUndoCommand(u"Move Line"_s), m_model(m), m_from(from), m_to(to)
    {}
    void redo() override { m_model.moveLine(m_from, m_to); }
    void undo() override { m_model.moveLine(m_to, m_from); }

private:
    ScriptModel &m_model;
    qsizetype m_from;
    qsizetype m_to;
};

// Keeps the whole script aside, so even a million lines come back at once.
class ClearLines final : public QUndoCommand
{
public:
    explicit ClearLines(ScriptModel &m) : QUndoCommand(u"Clear All"_s), m_model(m) {}
    void redo() override
    {
        m_kept = m_model.lines();
        m_keptMarks = m_model.marks();
        m_model.clear();
    }
    void undo() override { m_model.replaceAll(std::move(m_kept), std::move(m_keptMarks)); }

private:
    ScriptModel &m_model;
    ScriptLines m_kept;
    OpenMarks m_keptMarks;
};

} // namespace

ScriptEdits::ScriptEdits(ScriptModel &model, QObject *parent)
    : QObject(parent), m_model(model), m_history(new QUndoStack(this))
{}

ScriptEdits::~ScriptEdits() = default;

void ScriptEdits::insert(qsizetype row, const QByteArray &line)
{
    m_history->push(new InsertLine(m_model, row, line));
}

void ScriptEdits::append(const QByteArray &line)
{
    insert(m_model.count(), line);
}

void ScriptEdits::remove(qsizetype row)
{
    m_history->push(new RemoveLine(m_model, row));
}

void ScriptEdits::replace(qsizetype row, const QByteArray &line)
{
    m_history->push(new ReplaceLine(m_model, row, line));
}

void ScriptEdits::move(qsizetype from, qsizetype to)
{
    if (from != to)
        m_history->push(new MoveLine(m_model, from, to));
}

void ScriptEdits::clear()
{
    m_history->push(new ClearLines(m_model));
}

void ScriptEdits::load(ScriptLines lines, OpenChanges changes)
{
    m_history->clear();
    m_model.replaceAll(std::move(lines), OpenMarks(std::move(changes)));
}

} // namespace vbu

#include "moc_ScriptEdits.cpp"
