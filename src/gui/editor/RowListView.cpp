#include "gui/editor/RowListView.h"

#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <climits>

namespace vbu {

RowListView::RowListView(QWidget *parent)
    : QAbstractItemView(parent), m_header(new QHeaderView(Qt::Horizontal, this)),
      m_rowHeight(fontMetrics().height() + 4)
{
    setSelectionBehavior(SelectRows);
    setHorizontalScrollMode(ScrollPerPixel);
    setVerticalScrollMode(ScrollPerPixel);
    m_header->setSectionsClickable(false);
    m_header->setHighlightSections(false);
    connect(m_header, &QHeaderView::sectionResized, this, &RowListView::reshape);
}

RowListView::~RowListView() = default;

void RowListView::setModel(QAbstractItemModel *model)
{
    QAbstractItemView::setModel(model);
    m_header->setModel(model);
    if (!model)
        return;
    connect(model, &QAbstractItemModel::rowsInserted, this, &RowListView::reshape, Qt::UniqueConnection);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &RowListView::reshape, Qt::UniqueConnection);
}

void RowListView::reshape()
{
    // Only the scroll ranges change; which rows show is worked out as they paint.
    updateGeometries();
    viewport()->update();
}

void RowListView::dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight, const QList<int> &roles)
{
    if (topLeft == bottomRight) {
        QAbstractItemView::dataChanged(topLeft, bottomRight, roles);
        return;
    }
    // Not the base class's way, which asks where each cell of the range is: a million rows at the
    // end of a long report.
    if (topLeft.row() <= rowAt(viewport()->height()) && bottomRight.row() >= rowAt(0))
        viewport()->update();
}

int RowListView::rowCount() const
{
    return model() ? model()->rowCount(rootIndex()) : 0;
}

int RowListView::rowAt(int y) const
{
    return y < 0 ? -1 : int((qint64(y) + verticalOffset()) / m_rowHeight);
}

QRect RowListView::rowRect(int row) const
{
    return {0, int(qint64(row) * m_rowHeight - verticalOffset()), viewport()->width(), m_rowHeight};
}

QRect RowListView::visualRect(const QModelIndex &index) const
{
    if (!index.isValid() || index.parent() != rootIndex() || m_header->isSectionHidden(index.column()))
        return {};
    const QRect row = rowRect(index.row());
    return {m_header->sectionViewportPosition(index.column()), row.top(), m_header->sectionSize(index.column()),
            m_rowHeight};
}

void RowListView::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    if (!index.isValid() || index.parent() != rootIndex())
        return;
    QScrollBar *rows = verticalScrollBar();
    const qint64 top = qint64(index.row()) * m_rowHeight;
    const int height = viewport()->height();
    qint64 value = rows->value();
    switch (hint) {
    case EnsureVisible:
        if (top < value)
            value = top;
        else if (top + m_rowHeight > value + height)
            value = top + m_rowHeight - height;
        break;
    case PositionAtTop:
        value = top;
        break;
    case PositionAtBottom:
        value = top + m_rowHeight - height;
        break;
    case PositionAtCenter:
        value = top - (height - m_rowHeight) / 2;
        break;
    }
    rows->setValue(int(std::clamp<qint64>(value, 0, INT_MAX)));

    QScrollBar *columns = horizontalScrollBar();
    const int left = m_header->sectionPosition(index.column());
    const int right = left + m_header->sectionSize(index.column());
    if (left < columns->value())
        columns->setValue(left);
    else if (right > columns->value() + viewport()->width())
        columns->setValue(std::min(left, right - viewport()->width()));
}

QModelIndex RowListView::indexAt(const QPoint &point) const
{
    const int row = rowAt(point.y());
    const int column = m_header->logicalIndexAt(point.x());
    if (row < 0 || row >= rowCount() || column < 0)
        return {};
    return model()->index(row, column, rootIndex());
}

QModelIndex RowListView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers /*modifiers*/)
{
    const int rows = rowCount();
    if (rows == 0)
        return {};
    const QModelIndex current = currentIndex();
    int row = current.isValid() ? current.row() : -1;
    const int page = std::max(1, viewport()->height() / m_rowHeight);
    switch (cursorAction) {
    case MoveUp:
    case MovePrevious:
        --row;
        break;
    case MoveDown:
    case MoveNext:
        ++row;
        break;
    case MovePageUp:
        row -= page;
        break;
    case MovePageDown:
        row += page;
        break;
    case MoveHome:
        row = 0;
        break;
    case MoveEnd:
        row = rows - 1;
        break;
    case MoveLeft:
    case MoveRight:
        // Whole rows are chosen: there is nowhere to go sideways.
        return current;
    }
    return model()->index(std::clamp(row, 0, rows - 1), current.isValid() ? current.column() : 0, rootIndex());
}

int RowListView::horizontalOffset() const
{
    return horizontalScrollBar()->value();
}

int RowListView::verticalOffset() const
{
    return verticalScrollBar()->value();
}

bool RowListView::isIndexHidden(const QModelIndex & /*index*/) const
{
    return false;
}

void RowListView::setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags command)
{
    const int rows = rowCount();
    const int first = std::max(0, rowAt(std::min(rect.top(), rect.bottom())));
    const int last = std::min(rows - 1, rowAt(std::max(rect.top(), rect.bottom())));
    QItemSelection selection;
    if (first <= last && model()->columnCount(rootIndex()) > 0)
        selection.select(model()->index(first, 0, rootIndex()),
                         model()->index(last, model()->columnCount(rootIndex()) - 1, rootIndex()));
    selectionModel()->select(selection, command);
}

QRegion RowListView::visualRegionForSelection(const QItemSelection &selection) const
{
    const int firstShown = std::max(0, rowAt(0));
    const int lastShown = rowAt(viewport()->height());
    QRegion region;
    for (const QItemSelectionRange &range : selection) {
        if (!range.isValid() || range.parent() != rootIndex())
            continue;
        const int top = std::max(range.top(), firstShown);
        const int bottom = std::min(range.bottom(), lastShown);
        if (top <= bottom)
            region += rowRect(top).united(rowRect(bottom));
    }
    return region;
}

void RowListView::updateGeometries()
{
    const int headerHeight = m_header->isHidden() ? 0 : m_header->sizeHint().height();
    if (viewportMargins().top() != headerHeight)
        setViewportMargins(0, headerHeight, 0, 0);
    const QRect shown = viewport()->geometry();
    m_header->setGeometry(shown.left(), shown.top() - headerHeight, shown.width(), headerHeight);

    QScrollBar *rows = verticalScrollBar();
    rows->setSingleStep(m_rowHeight);
    rows->setPageStep(shown.height());
    rows->setRange(0, int(std::clamp<qint64>(qint64(rowCount()) * m_rowHeight - shown.height(), 0, INT_MAX)));
    QScrollBar *columns = horizontalScrollBar();
    columns->setSingleStep(m_rowHeight);
    columns->setPageStep(shown.width());
    columns->setRange(0, std::max(0, m_header->length() - shown.width()));
    QAbstractItemView::updateGeometries();
}

void RowListView::scrollContentsBy(int dx, int dy)
{
    m_header->setOffset(horizontalOffset());
    viewport()->scroll(dx, dy);
}

void RowListView::paintEvent(QPaintEvent *event)
{
    if (!model())
        return;
    QPainter painter(viewport());
    const QRect area = event->rect();
    const int first = std::max(0, rowAt(area.top()));
    const int last = std::min(rowCount() - 1, rowAt(area.bottom()));
    QStyleOptionViewItem base;
    initViewItemOption(&base);
    if (!isActiveWindow())
        base.palette.setCurrentColorGroup(QPalette::Inactive);
    const QModelIndex current = currentIndex();
    for (int row = first; row <= last; ++row) {
        for (int column = 0; column < m_header->count(); ++column) {
            const QModelIndex index = model()->index(row, column, rootIndex());
            QStyleOptionViewItem option = base;
            option.rect = visualRect(index);
            if (!option.rect.intersects(area))
                continue;
            if (selectionModel()->isSelected(index))
                option.state |= QStyle::State_Selected;
            if (index == current && hasFocus())
                option.state |= QStyle::State_HasFocus;
            itemDelegateForIndex(index)->paint(&painter, option, index);
        }
    }
}

} // namespace vbu
