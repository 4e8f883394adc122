#pragma once
#include <QFont>
#include <QString>

class QWidget;

namespace brisk::test {

// Saves what the widget shows as <build dir>/screenshots/<name>.png; returns the path, or an empty
// string when the file could not be written.
QString saveScreenshot(QWidget& widget, const QString& name);

// Whether the font draws real glyphs: with no usable font Qt draws boxes of one width.
bool textRenders(const QFont& font);

} // namespace brisk::test
