#include "ui/column_fit.h"

#include "listing/size_display.h"
#include "ui/qt_text.h"

#include <QAbstractItemView>
#include <QStyle>

#include <algorithm>

namespace brisk {

int ColumnWidthFor(const QAbstractItemView* view, std::initializer_list<QString> texts)
{
    const QFontMetrics metrics = view->fontMetrics();
    int widest = 0;
    for (const QString& text : texts)
        widest = std::max(widest, metrics.horizontalAdvance(text));
    // The styles draw a cell's text this far inside the cell on either side.
    const int margin = view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    return widest + 2 * margin + metrics.horizontalAdvance(' ');
}

QString WidestPanelSize()
{
    return toQt(FormatSizeForDisplay("8888888888888", SizeDisplay::Grouped));
}

QString WidestBinarySize()
{
    return toQt(FormatSizeForDisplay("1073112064", SizeDisplay::Binary));
}

} // namespace brisk
