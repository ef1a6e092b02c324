#include "core/script/ScriptModel.h"

#include <QMimeData>

using namespace Qt::StringLiterals;

namespace vbu {

ScriptModel::ScriptModel(QObject *parent) : QAbstractListModel(parent) {}

int ScriptModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_lines.size());
}

QVariant ScriptModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromLatin1(m_lines.view(index.row()));
    case LineBytesRole:
        return m_lines.at(index.row());
    case OpenChangedRole:
        return m_marks.markOf(index.row()) != OpenMarks::none;
    case Qt::ToolTipRole:
        if (const OpenMarks::Mark mark = m_marks.markOf(index.row()); mark != OpenMarks::none)
            return m_marks.entry(mark).toolTip();
        return {};
    default:
        return {};
    }
}

QVariant ScriptModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return u"Bindings"_s;
    return {};
}

namespace {
const QString rowMimeType = u"application/x-vbu-script-row"_s;
}

Qt::ItemFlags ScriptModel::flags(const QModelIndex &index) const
{
    const Qt::ItemFlags base = QAbstractListModel::flags(index);
    return index.isValid() ? base | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled : base | Qt::ItemIsDropEnabled;
}

QStringList ScriptModel::mimeTypes() const
{
    return {rowMimeType};
}

QMimeData *ScriptModel::mimeData(const QModelIndexList &indexes) const
{
    if (indexes.size() != 1 || !indexes.constFirst().isValid())
        return nullptr;
    auto *data = new QMimeData;
    data->setData(rowMimeType, QByteArray::number(indexes.constFirst().row()));
    data->setText(QString::fromLatin1(m_lines.view(indexes.constFirst().row())));
    return data;
}

bool ScriptModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int, const QModelIndex &parent)
{
    if (action != Qt::MoveAction || !data || !data->hasFormat(rowMimeType))
        return false;
    bool ok = false;
    const qsizetype from = data->data(rowMimeType).toLongLong(&ok);
    if (!ok || from < 0 || from >= count())
        return false;
    // Dropped between rows: before row; onto a row: in its place; below the last: at the end.
    const qsizetype before = row < 0 ? count() : row;
    const qsizetype to = parent.isValid() ? parent.row() : qMin(before > from ? before - 1 : before, count() - 1);
    if (to != from)
        emit moveRequested(from, to);
    // The move is made by the receiver; the view must not remove the dragged row itself.
    return false;
}

void ScriptModel::insert(qsizetype row, const QByteArray &line, OpenMarks::Mark mark)
{
    Q_ASSERT(row >= 0 && row <= count());
    beginInsertRows({}, int(row), int(row));
    m_lines.insert(row, line);
    m_marks.inserted(row, mark);
    endInsertRows();
}

void ScriptModel::remove(qsizetype row)
{
    Q_ASSERT(row >= 0 && row < count());
    beginRemoveRows({}, int(row), int(row));
    m_lines.remove(row);
    m_marks.removed(row);
    endRemoveRows();
}

void ScriptModel::setLine(qsizetype row, const QByteArray &line, OpenMarks::Mark mark)
{
    Q_ASSERT(row >= 0 && row < count());
    m_lines.replace(row, line);
    m_marks.setMark(row, mark);
    const QModelIndex i = index(int(row));
    emit dataChanged(i, i);
}

void ScriptModel::moveLine(qsizetype from, qsizetype to)
{
    Q_ASSERT(from >= 0 && from < count() && to >= 0 && to < count());
    if (from == to)
        return;
    // Qt counts the destination before the move takes the row out.
    beginMoveRows({}, int(from), int(from), {}, int(to > from ? to + 1 : to));
    m_lines.move(from, to);
    m_marks.moved(from, to);
    endMoveRows();
}

void ScriptModel::clear()
{
    replaceAll(ScriptLines());
}

void ScriptModel::replaceAll(ScriptLines lines, OpenMarks marks)
{
    beginResetModel();
    m_lines = std::move(lines);
    m_marks = std::move(marks);
    endResetModel();
}

} // namespace vbu

#include "moc_ScriptModel.cpp"
