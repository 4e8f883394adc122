#include "ui/file_list_view.h"

#include "ui/file_list_header.h"
#include "ui/file_list_model.h"

#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>

#include <algorithm>

namespace brisk {

FileListView::FileListView(QWidget* parent) : QTreeView(parent), model_(new FileListModel(this))
{
    setHeader(new FileListHeader(this));
    setModel(model_);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSortingEnabled(false);   // the models keep the order
    setAllColumnsShowFocus(true);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::CopyAction);
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(false);
}

std::vector<int> FileListView::selectedRows() const
{
    std::vector<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void FileListView::setSelectedRows(const std::function<bool(size_t row)>& isSelected)
{
    // Runs of selected rows become one range each, so selecting all of a long list stays cheap.
    QItemSelection selection;
    const int rows = model_->rowCount();
    const int lastColumn = model_->columnCount() - 1;
    for (int row = 0; row < rows; ++row) {
        if (!isSelected(size_t(row)))
            continue;
        const int first = row;
        while (row + 1 < rows && isSelected(size_t(row + 1)))
            ++row;
        selection.select(model_->index(first, 0), model_->index(row, lastColumn));
    }
    if (selection != selectionModel()->selection())
        selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

// Rows of this list (for a move within it) or of another list of this program, when the owner
// takes them here now.
bool FileListView::acceptable(const QDropEvent* event) const
{
    const std::optional<quint64> source = FileListModel::dragSource(event->mimeData());
    if (!source)
        return false;
    const bool handled = *source == model_->id() ? bool(onRowDropped) : bool(onRowsDropped);
    return handled && (!acceptsRowsFrom || acceptsRowsFrom(*source));
}

void FileListView::dragEnterEvent(QDragEnterEvent* event)
{
    if (!acceptable(event)) {
        event->ignore();
        return;
    }
    QTreeView::dragEnterEvent(event);
}

void FileListView::dragMoveEvent(QDragMoveEvent* event)
{
    if (!acceptable(event)) {
        event->ignore();
        return;
    }
    QTreeView::dragMoveEvent(event);
}

void FileListView::dropEvent(QDropEvent* event)
{
    stopAutoScroll();
    setState(NoState);
    viewport()->update();
    const std::optional<DraggedRows> dragged = FileListModel::draggedRows(event->mimeData());
    if (!dragged || !acceptable(event)) {
        event->ignore();
        return;
    }
    // The rows are never moved or removed by the views: the models decide.
    event->setDropAction(dragged->source == model_->id() ? Qt::IgnoreAction : Qt::CopyAction);
    event->accept();
    if (dragged->source != model_->id()) {
        onRowsDropped(*dragged);
        return;
    }
    const QModelIndex target = indexAt(event->position().toPoint());
    const int source = dragged->rows.empty() ? currentIndex().row() : dragged->rows.front();
    if (target.isValid() && source >= 0 && target.row() != source)
        onRowDropped(source, target.row());
}

void FileListView::keyPressEvent(QKeyEvent* event)
{
    if (onKey && event->modifiers() == Qt::NoModifier && onKey(event->key()))
        return;
    QTreeView::keyPressEvent(event);
}

} // namespace brisk
