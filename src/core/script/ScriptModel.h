#pragma once

#include "core/script/OpenMarks.h"
#include "core/script/ScriptLines.h"

#include <QAbstractListModel>

namespace vbu {

// The script as the bindings list shows it: one row a line, in file order, never sorted.
// Rows show the bytes through Latin-1; LineBytesRole gives the bytes themselves.
//
// Rows that came from a line Open changed carry a mark (OpenChangedRole, and a tool tip that
// says what happened). A mark stays with its row through moves and the rows put in or taken
// out around it, since the row still holds what Open made of the line; a row whose text is
// replaced loses it, as the player has written the line anew. Replacing the whole list
// replaces the marks.
class ScriptModel final : public QAbstractListModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ScriptModel)

public:
    enum Role { LineBytesRole = Qt::UserRole + 1, OpenChangedRole };

    explicit ScriptModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // A line can be dragged to another place in the list; the drop asks for the move through
    // moveRequested, so that whoever keeps the history makes it.
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;

    qsizetype count() const { return m_lines.size(); }
    QByteArray line(qsizetype row) const { return m_lines.at(row); }
    const ScriptLines &lines() const { return m_lines; }
    const OpenMarks &marks() const { return m_marks; }

    void append(const QByteArray &line) { insert(count(), line); }
    // Puts the line before the one now at row; row == count() appends. An edit that is undone
    // gives a row its mark back.
    void insert(qsizetype row, const QByteArray &line, OpenMarks::Mark mark = OpenMarks::none);
    void remove(qsizetype row);
    void setLine(qsizetype row, const QByteArray &line, OpenMarks::Mark mark = OpenMarks::none);
    void moveLine(qsizetype from, qsizetype to);
    void clear();
    // The whole script at once, in one reset.
    void replaceAll(ScriptLines lines, OpenMarks marks = {});

signals:
    // The line at from is to end up at row to.
    void moveRequested(qsizetype from, qsizetype to);

private:
    ScriptLines m_lines;
    OpenMarks m_marks;
};

} // namespace vbu
