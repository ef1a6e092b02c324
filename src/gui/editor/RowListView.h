#pragma once

#include <QAbstractItemView>

class QHeaderView;

namespace vbu {

// A list of rows with columns, all rows one height, for a model of any length: it keeps nothing
// for each row, so rows coming and going cost the same for ten rows as for a million. (A table
// view keeps a position for every row, and walks or copies them all whenever rows come.)
// Columns come from a header above, which can be resized; whole rows are selected.
class RowListView final : public QAbstractItemView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RowListView)

public:
    explicit RowListView(QWidget *parent = nullptr);
    ~RowListView() override;

    QHeaderView *header() const { return m_header; }

    void setModel(QAbstractItemModel *model) override;
    QRect visualRect(const QModelIndex &index) const override;
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint &point) const override;

protected slots:
    void dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                     const QList<int> &roles = QList<int>()) override;

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex &index) const override;
    void setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection &selection) const override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // Rows came or went, or a column changed width.
    void reshape();
    int rowCount() const;
    // The row under a viewport height, which may be past the last row.
    int rowAt(int y) const;
    QRect rowRect(int row) const;

    QHeaderView *m_header;
    int m_rowHeight;
};

} // namespace vbu
