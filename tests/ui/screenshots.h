#pragma once
#include <QDir>
#include <QFontMetrics>
#include <QPixmap>
#include <QWidget>

namespace brisk::test {

// Saves what the widget shows as <build dir>/screenshots/<name>.png; returns the path, or an empty
// string when the file could not be written.
inline QString saveScreenshot(QWidget& widget, const QString& name)
{
    const QString dir = BRISKLANE_SCREENSHOT_DIR;
    const QString path = dir + "/" + name + ".png";
    return QDir().mkpath(dir) && widget.grab().save(path, "PNG") ? path : QString();
}

// Whether the font draws real glyphs: with no usable font Qt draws boxes of one width.
inline bool textRenders(const QFont& font)
{
    const QFontMetrics metrics(font);
    return metrics.inFont('A') && metrics.horizontalAdvance("iiii") < metrics.horizontalAdvance("MMMM");
}

} // namespace brisk::test
