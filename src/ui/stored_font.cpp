#include "ui/stored_font.h"

#include "ui/qt_text.h"

namespace brisk {

QFont storedFont(const FontChoice& stored, QFont base)
{
    if (stored.name == kDefaultFontName)
        return base;
    base.setFamily(toQt(stored.name));
    if (stored.size > 0)
        base.setPointSize(stored.size);
    return base;
}

QColor storedColor(int32_t color, const QColor& fallback)
{
    if (color < 0)
        return fallback;
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

FontChoice fontChoiceOf(const QFont& font, const FontChoice& previous)
{
    return {fromQt(font.family()), font.pointSize() > 0 ? font.pointSize() : previous.size, previous.color};
}

} // namespace brisk
