#include "listing/row_details.h"

#include "listing/text_util.h"

namespace brisk {

namespace {

std::string kindOf(const PanelRowView& row)
{
    if (row.image != kImageFile)
        return "Directory";
    return row.link.empty() ? "File" : "Symbolic link";
}

void addLine(std::string& text, const char* label, std::string_view value)
{
    if (!value.empty())
        text += std::string(label) + ": " + std::string(value) + "\n";
}

} // namespace

std::string RowDetailsText(const PanelRowView& row, const std::string& location)
{
    std::string text;
    addLine(text, "Name", row.caption);
    addLine(text, "Location", location);
    addLine(text, "Type", kindOf(row));
    const std::string_view size = trimBlanks(row.size);
    if (decimalValue(size))
        addLine(text, "Size", std::string(size) + " bytes");
    std::string changed(trimBlanks(row.date));
    if (!trimBlanks(row.time).empty())
        changed += (changed.empty() ? "" : " ") + std::string(trimBlanks(row.time));
    addLine(text, "Modified", changed);
    addLine(text, "Attributes", row.attributes);
    addLine(text, "Link to", row.link);
    if (!text.empty())
        text.pop_back();
    return text;
}

} // namespace brisk
