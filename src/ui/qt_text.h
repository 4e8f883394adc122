#pragma once
#include <QString>

#include <string>

namespace brisk {

// The program keeps text as UTF-8 bytes; Qt widgets take QString.
inline QString toQt(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string fromQt(const QString& text)
{
    return text.toStdString();
}

} // namespace brisk
