#pragma once
#include <QString>

#include <initializer_list>

class QAbstractItemView;

namespace brisk {

// The width a column of `view` needs to show each of `texts` uncut in the view's font, with the
// room the style leaves around a cell's text and a blank's gap to the next column.
int ColumnWidthFor(const QAbstractItemView* view, std::initializer_list<QString> texts);

// The widest text of a panel's Size column: 13 digits in their groups.
QString WidestPanelSize();
// The widest size in KiB ... EiB, as the transfer queue shows sizes: "1023.4 MiB".
QString WidestBinarySize();

} // namespace brisk
