#pragma once

#include "core/check/ScriptChecker.h"

#include <QAbstractTableModel>

namespace vbu {

// The findings of a script check as the report lists them: line, severity, explanation and the
// other line involved, one finding a row, in the checker's order.
class CheckFindingsModel final : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CheckFindingsModel)

public:
    enum Column { LineColumn, SeverityColumn, TextColumn, OtherLineColumn, ColumnCount };
    // The finding's line from 1, on every column.
    enum Role { LineRole = Qt::UserRole + 2 };

    explicit CheckFindingsModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const QList<CheckFinding> &findings() const { return m_findings; }
    void setFindings(QList<CheckFinding> findings);

    static QString severityName(CheckSeverity severity);

private:
    QList<CheckFinding> m_findings;
};

} // namespace vbu
