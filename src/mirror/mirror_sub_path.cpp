#include "mirror/mirror_sub_path.h"

#include <algorithm>

namespace brisk {

std::string MirrorSubPath(const std::string& root, std::string sub, char separator, char foreign)
{
    std::replace(sub.begin(), sub.end(), foreign, separator);
    if (!root.empty() && root.back() != separator && !sub.empty() && sub.front() != separator)
        sub.insert(sub.begin(), separator);
    if (!sub.empty() && sub.back() != separator)
        sub += separator;
    return sub;
}

std::string MirrorJoinPath(const std::string& root, const std::string& sub, char separator)
{
    if (root.empty() || root.back() == separator)
        return root + sub;
    if (!sub.empty() && sub.front() == separator)
        return root + sub;
    return root + separator + sub;
}

} // namespace brisk
