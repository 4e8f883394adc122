#include "listing/split_fields.h"

#include "listing/text_util.h"

namespace brisk {

void splitFieldViews(std::string_view separator, std::string_view text, std::vector<std::string_view>& out)
{
    out.clear();
    if (text.empty())
        return;
    if (separator.empty()) {
        out.push_back(trimBlanks(text));
        return;
    }
    std::string_view rest = text;
    do {
        const size_t p = rest.find(separator);
        if (p == std::string_view::npos) {
            out.push_back(trimBlanks(rest));
            rest = {};
        } else {
            out.push_back(trimBlanks(rest.substr(0, p)));
            rest = rest.substr(p + separator.size());
        }
        rest = trimBlanks(rest);
    } while (!rest.empty());
}

std::vector<std::string> SplitFields(std::string_view separator, std::string_view text)
{
    std::vector<std::string_view> views;
    splitFieldViews(separator, text, views);
    return {views.begin(), views.end()};
}

} // namespace brisk
