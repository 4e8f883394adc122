#include "sites/custom_layouts.h"

#include "platform/comma_text.h"
#include "platform/program_dir.h"
#include "platform/text_file.h"
#include "sites/server_info.h"

namespace brisk {
namespace {

std::string quotedName(const std::string& name)
{
    std::string out = "\"";
    for (char c : name.substr(0, name.find_first_of("\r\n"))) {
        out += c;
        if (c == '"')
            out += '"';
    }
    return out + "\"";
}

} // namespace

std::string AnswerFilePath()
{
    return ProgramDir() + "Answer.txt";
}

std::vector<CustomLayout> LoadCustomLayouts(const std::string& defaultName)
{
    std::vector<CustomLayout> layouts;
    std::vector<std::string> lines;
    if (readTextLines(AnswerFilePath(), lines)) {
        for (const std::string& line : lines) {
            const std::vector<std::string> items = SplitCommaText(line);
            if (items.empty())
                continue;
            const std::string descriptor = items.size() > 1 ? items[1].substr(0, SiteLimits::Answer) : kDefaultAnswer;
            layouts.push_back({items[0].substr(0, SiteLimits::AnswerName), descriptor});
        }
    }
    if (layouts.empty())
        layouts.push_back({defaultName, kDefaultAnswer});
    layouts[0].descriptor = kDefaultAnswer;
    if (layouts[0].name.empty())
        layouts[0].name = defaultName;
    return layouts;
}

bool SaveCustomLayouts(const std::vector<CustomLayout>& layouts)
{
    std::vector<std::string> lines;
    for (const CustomLayout& layout : layouts)
        lines.push_back(quotedName(layout.name) + "," + layout.descriptor.substr(0, layout.descriptor.find_first_of(",\r\n")));
    return writePrivateFile(AnswerFilePath(), joinLines(lines));
}

} // namespace brisk
