#include "ui/file_list_header.h"

#include <QStyleOptionHeader>

namespace brisk {

// Set up as a tree view sets up the header it makes itself.
FileListHeader::FileListHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsMovable(true);
    setStretchLastSection(true);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void FileListHeader::initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const
{
    QHeaderView::initStyleOptionForIndex(option, logicalIndex);
    if (option->sortIndicator == QStyleOptionHeader::None)
        return;
    option->sortIndicator =
        sortIndicatorOrder() == Qt::AscendingOrder ? QStyleOptionHeader::SortUp : QStyleOptionHeader::SortDown;
}

} // namespace brisk
