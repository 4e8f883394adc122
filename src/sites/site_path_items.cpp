#include "sites/site_path_items.h"

#include "platform/ascii.h"

namespace brisk {
namespace {

std::vector<std::string> components(const std::string& folder)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start < folder.size()) {
        size_t end = folder.find('/', start);
        if (end == std::string::npos)
            end = folder.size();
        parts.push_back(folder.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

} // namespace

void SitePathItems::sync(const std::string& folder)
{
    const std::vector<std::string> parts = components(toLowerAscii(folder));
    for (size_t i = 0; i < parts.size(); ++i) {
        const size_t item = i + 1;
        if (item < items_.size() && toLowerAscii(items_[item]) == parts[i])
            continue;
        items_.resize(item);
        for (size_t j = i; j < parts.size(); ++j)
            items_.push_back(parts[j]);
        break;
    }
    selected_ = static_cast<int>(parts.size());
}

std::string SitePathItems::folderAt(int index) const
{
    std::string folder;
    for (int i = 1; i <= index && i < static_cast<int>(items_.size()); ++i)
        folder += items_[static_cast<size_t>(i)] + "/";
    return folder;
}

} // namespace brisk
