#include "mirror/exclusion_list.h"

#include "listing/split_fields.h"
#include "platform/ascii.h"

namespace brisk {

std::vector<std::string> SplitExclusions(const std::string& text)
{
    std::vector<std::string> items;
    for (std::string& item : SplitFields("|", text))
        if (!item.empty())
            items.push_back(std::move(item));
    return items;
}

std::string JoinExclusions(const std::vector<std::string>& items)
{
    std::string text;
    for (const std::string& item : items) {
        const std::string_view clean = trimBlanks(item);
        if (clean.empty())
            continue;
        if (!text.empty())
            text += '|';
        text += clean;
    }
    return text;
}

} // namespace brisk
