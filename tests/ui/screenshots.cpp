#include "screenshots.h"

#include <QDir>
#include <QFontMetrics>
#include <QPixmap>
#include <QWidget>

namespace brisk::test {

QString saveScreenshot(QWidget& widget, const QString& name)
{
    const QString dir = BRISKLANE_SCREENSHOT_DIR;
    if (!QDir().mkpath(dir))
        return {};
    const QString path = dir + "/" + name + ".png";
    return widget.grab().save(path, "PNG") ? path : QString();
}

bool textRenders(const QFont& font)
{
    const QFontMetrics metrics(font);
    return metrics.inFont('A') && metrics.horizontalAdvance("iiii") < metrics.horizontalAdvance("MMMM");
}

} // namespace brisk::test
