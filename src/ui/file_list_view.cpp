#include "ui/file_list_view.h"

#include "ui/file_list_model.h"

#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>

#include <algorithm>

namespace brisk {

FileListView::FileListView(QWidget* parent) : QTreeView(parent), model_(new FileListModel(this))
{
    setModel(model_);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSortingEnabled(false);   // the models keep the order
    setAllColumnsShowFocus(true);
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

void FileListView::dropEvent(QDropEvent* event)
{
    // The rows are never moved by the view itself: the model decides.
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    const QModelIndex target = indexAt(event->position().toPoint());
    const QModelIndex source = currentIndex();
    if (target.isValid() && source.isValid() && target.row() != source.row() && onRowDropped)
        onRowDropped(source.row(), target.row());
}

void FileListView::keyPressEvent(QKeyEvent* event)
{
    if (onKey && event->modifiers() == Qt::NoModifier && onKey(event->key()))
        return;
    QTreeView::keyPressEvent(event);
}

} // namespace brisk
