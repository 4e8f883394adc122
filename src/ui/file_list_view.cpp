#include "ui/file_list_view.h"

#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>

#include <algorithm>

namespace brisk {

FileListView::FileListView(QWidget* parent) : QTreeWidget(parent)
{
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSortingEnabled(false);   // the models keep the order
    setAllColumnsShowFocus(true);
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(false);
}

std::vector<int> FileListView::selectedRows() const
{
    std::vector<int> rows;
    for (QTreeWidgetItem* item : selectedItems())
        rows.push_back(indexOfTopLevelItem(item));
    std::sort(rows.begin(), rows.end());
    return rows;
}

void FileListView::dropEvent(QDropEvent* event)
{
    // The rows are never moved by the view itself: the model decides.
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    QTreeWidgetItem* target = itemAt(event->position().toPoint());
    QTreeWidgetItem* source = currentItem();
    if (target && source && target != source && onRowDropped)
        onRowDropped(indexOfTopLevelItem(source), indexOfTopLevelItem(target));
}

void FileListView::keyPressEvent(QKeyEvent* event)
{
    if (onKey && event->modifiers() == Qt::NoModifier && onKey(event->key()))
        return;
    QTreeWidget::keyPressEvent(event);
}

} // namespace brisk
