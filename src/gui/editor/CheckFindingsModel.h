#pragma once

#include "core/check/ScriptChecker.h"

#include <QAbstractTableModel>

namespace vbu {

class IncrementalCheck;

// The findings of a script check as the report lists them: line, severity, explanation and the
// other line involved, one finding a row, in the checker's order. Rows are made from the check
// when they are shown, so a million findings cost the window no more than the rows in sight.
class CheckFindingsModel final : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CheckFindingsModel)

public:
    enum Column { LineColumn, SeverityColumn, TextColumn, OtherLineColumn, ColumnCount };
    // The finding's line from 1, on every column.
    enum Role { LineRole = Qt::UserRole + 2 };

    explicit CheckFindingsModel(const IncrementalCheck &check, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The check's findings from row firstRow on may differ from the rows shown.
    void findingsChanged(qsizetype firstRow);

    static QString severityName(CheckSeverity severity);

private:
    const IncrementalCheck &m_check;
    int m_rows = 0;
};

} // namespace vbu
