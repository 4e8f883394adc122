#include "mirror/mirror_sub_path.h"

namespace brisk {

std::string MirrorSubPath(const std::string& root, std::string sub)
{
    if (!root.empty() && root.back() != '/' && !sub.empty() && sub.front() != '/')
        sub.insert(sub.begin(), '/');
    if (!sub.empty() && sub.back() != '/')
        sub += '/';
    return sub;
}

std::string MirrorJoinPath(const std::string& root, const std::string& sub)
{
    if (root.empty() || root.back() == '/' || (!sub.empty() && sub.front() == '/'))
        return root + sub;
    return root + '/' + sub;
}

} // namespace brisk
