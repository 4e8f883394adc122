#include "ftp/ftp_features.h"

#include "platform/ascii.h"

#include <algorithm>

namespace brisk {

namespace {

bool isFeatureChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-' ||
           c == '_';
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

} // namespace brisk
