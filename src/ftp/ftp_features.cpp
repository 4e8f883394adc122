#include "ftp/ftp_features.h"

#include "platform/ascii.h"

#include <algorithm>
#include <ctime>

namespace brisk {

namespace {

bool isFeatureChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-' ||
           c == '_';
}

bool allDigits(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int number(std::string_view digits)
{
    int value = 0;
    for (char c : digits)
        value = value * 10 + (c - '0');
    return value;
}

} // namespace

FtpFeatures FtpFeatures::Parse(const std::vector<std::string>& bodyLines)
{
    FtpFeatures features;
    for (const std::string& line : bodyLines) {
        if (features.names_.size() >= kMaxNames)
            break;
        if (line.size() < 2 || line[0] != ' ')
            continue;
        const std::string_view rest = std::string_view(line).substr(1);
        const std::string_view name = rest.substr(0, rest.find(' '));
        if (name.empty() || name.size() > kMaxNameLength || !std::all_of(name.begin(), name.end(), isFeatureChar))
            continue;
        std::string upper = toUpperAscii(std::string(name));
        if (features.has(upper))
            continue;
        features.names_.push_back(std::move(upper));
        const size_t gap = rest.find(' ');
        features.params_.emplace_back(gap == std::string_view::npos ? std::string_view{} : rest.substr(gap + 1, 256));
    }
    return features;
}

bool FtpFeatures::has(std::string_view name) const
{
    return std::any_of(names_.begin(), names_.end(), [name](const std::string& n) { return equalsNoCase(n, name); });
}

std::string FtpFeatures::params(std::string_view name) const
{
    for (size_t i = 0; i < names_.size(); ++i)
        if (equalsNoCase(names_[i], name))
            return params_[i];
    return {};
}

std::string FtpUtcStamp(int64_t seconds)
{
    const std::time_t t = std::time_t(seconds);
    std::tm parts{};
    gmtime_r(&t, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d%H%M%S", &parts);
    return text;
}

int64_t FtpParseUtcStamp(std::string_view text)
{
    const size_t dot = text.find('.');
    if (dot != std::string_view::npos) {
        const std::string_view fraction = text.substr(dot + 1);
        if (fraction.empty() || fraction.size() > 9 || !allDigits(fraction))
            return -1;
        text = text.substr(0, dot);
    }
    if (text.size() != 14 || !allDigits(text))
        return -1;
    std::tm parts{};
    parts.tm_year = number(text.substr(0, 4)) - 1900;
    parts.tm_mon = number(text.substr(4, 2)) - 1;
    parts.tm_mday = number(text.substr(6, 2));
    parts.tm_hour = number(text.substr(8, 2));
    parts.tm_min = number(text.substr(10, 2));
    parts.tm_sec = number(text.substr(12, 2));
    const std::tm asked = parts;
    const std::time_t t = timegm(&parts);
    // timegm rolls 31 April over into 1 May: such a stamp is no time at all.
    if (parts.tm_mday != asked.tm_mday || parts.tm_mon != asked.tm_mon || parts.tm_hour != asked.tm_hour ||
        parts.tm_min != asked.tm_min || parts.tm_sec != asked.tm_sec || asked.tm_year < 70)
        return -1;
    return int64_t(t);
}

} // namespace brisk
