#pragma once
#include <QHeaderView>

namespace brisk {

// A file list's header. Its sort order keeps Qt's meaning (Qt::AscendingOrder: the values grow
// down the list), and its arrow follows the desktops' convention: up for ascending, down for
// descending. Qt's header hands the styles the opposite arrow for an order.
class FileListHeader : public QHeaderView {
public:
    explicit FileListHeader(QWidget* parent = nullptr);

protected:
    void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override;
};

} // namespace brisk
