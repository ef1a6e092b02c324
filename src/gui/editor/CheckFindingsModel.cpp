#include "gui/editor/CheckFindingsModel.h"

#include "core/check/IncrementalCheck.h"
#include "gui/editor/ScriptLineDelegate.h"

#include <limits>

using namespace Qt::StringLiterals;

namespace vbu {

CheckFindingsModel::CheckFindingsModel(const IncrementalCheck &check, QObject *parent)
    : QAbstractTableModel(parent), m_check(check)
{}

int CheckFindingsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int CheckFindingsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString CheckFindingsModel::severityName(CheckSeverity severity)
{
    return severity == CheckSeverity::Error ? u"Error"_s : u"Warning"_s;
}

QVariant CheckFindingsModel::data(const QModelIndex &index, int role) const
{
    // Rows the check has taken back since the list last followed it show nothing until it does.
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) ||
        index.row() >= m_check.findingCount())
        return {};
    const CheckFinding f = m_check.finding(index.row());
    if (role == LineRole)
        return qlonglong(f.line);
    switch (index.column()) {
    case LineColumn:
        if (role == Qt::DisplayRole)
            return QString::number(f.line);
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        break;
    case SeverityColumn:
        if (role == Qt::DisplayRole)
            return severityName(f.severity);
        if (role == Qt::DecorationRole)
            return ScriptLineDelegate::severityIcon(f.severity);
        break;
    case TextColumn:
        // Explanations can be longer than the column.
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
            return f.text;
        break;
    case OtherLineColumn:
        if (role == Qt::DisplayRole)
            return f.otherLine > 0 ? QString::number(f.otherLine) : QString();
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        break;
    default:
        break;
    }
    return {};
}

QVariant CheckFindingsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case LineColumn:
        return u"Line"_s;
    case SeverityColumn:
        return u"Severity"_s;
    case TextColumn:
        return u"Explanation"_s;
    case OtherLineColumn:
        return u"Other Line"_s;
    default:
        return {};
    }
}

// Rows are told as added or removed at the end and the rest as changed: a view then has work
// only for the rows it shows, wherever the check's findings changed.
void CheckFindingsModel::findingsChanged(qsizetype firstRow)
{
    const int rows = int(std::min<qsizetype>(m_check.findingCount(), std::numeric_limits<int>::max()));
    if (rows > m_rows) {
        beginInsertRows({}, m_rows, rows - 1);
        m_rows = rows;
        endInsertRows();
    } else if (rows < m_rows) {
        beginRemoveRows({}, rows, m_rows - 1);
        m_rows = rows;
        endRemoveRows();
    }
    if (firstRow < m_rows)
        emit dataChanged(index(int(firstRow), 0), index(m_rows - 1, ColumnCount - 1));
}

} // namespace vbu
