#include "listing/row_details.h"

#include "listing/text_util.h"

namespace brisk {

namespace {

MainExtraMessage kindOf(const PanelRowView& row)
{
    if (row.image != kImageFile)
        return xmsgDirectory;
    return row.link.empty() ? xmsgFile : xmsgSymbolicLink;
}

} // namespace

std::string RowDetailsText(const MainMessages& msl, const PanelRowView& row, const std::string& location)
{
    std::string text;
    const auto addLine = [&](MainExtraMessage label, std::string_view value) {
        if (!value.empty())
            text += msl[label] + ": " + std::string(value) + "\n";
    };
    addLine(xmsgRowName, row.caption);
    addLine(xmsgRowLocation, location);
    addLine(xmsgRowType, msl[kindOf(row)]);
    const std::string_view size = trimBlanks(row.size);
    if (decimalValue(size))
        addLine(xmsgRowSize, std::string(size) + " " + msl[xmsgRowBytes]);
    std::string changed(trimBlanks(row.date));
    if (!trimBlanks(row.time).empty())
        changed += (changed.empty() ? "" : " ") + std::string(trimBlanks(row.time));
    addLine(xmsgRowModified, changed);
    addLine(xmsgRowAttributes, row.attributes);
    addLine(xmsgRowLinkTo, row.link);
    if (!text.empty())
        text.pop_back();
    return text;
}

} // namespace brisk
