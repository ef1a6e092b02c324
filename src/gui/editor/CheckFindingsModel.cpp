#include "gui/editor/CheckFindingsModel.h"

#include "gui/editor/ScriptLineDelegate.h"

using namespace Qt::StringLiterals;

namespace vbu {

CheckFindingsModel::CheckFindingsModel(QObject *parent) : QAbstractTableModel(parent) {}

int CheckFindingsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_findings.size());
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
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const CheckFinding &f = m_findings.at(index.row());
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

void CheckFindingsModel::setFindings(QList<CheckFinding> findings)
{
    beginResetModel();
    m_findings = std::move(findings);
    endResetModel();
}

} // namespace vbu
