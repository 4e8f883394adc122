#pragma once
#include "platform/user_prompts.h"

#include <QColor>
#include <QFont>

namespace brisk {

// The face the options name by default: it stands for the desktop's own font.
inline constexpr const char* kDefaultFontName = "MS Sans Serif";

// The stored face and size over `base`; the default face keeps `base` as it is.
QFont storedFont(const FontChoice& stored, QFont base);
// A stored colour value (0x00BBGGRR); a system colour reference gives `fallback`.
QColor storedColor(int32_t color, const QColor& fallback);
// The font and colour chosen, in the options' terms; `previous` keeps its colour.
FontChoice fontChoiceOf(const QFont& font, const FontChoice& previous);

} // namespace brisk
