#include "listing/panel_rows.h"

#include <stdexcept>

namespace brisk {

PanelRows::PanelRows(const std::vector<PanelRow>& rows)
{
    records_.reserve(rows.size());
    for (const PanelRow& row : rows)
        push_back(row);
}

void PanelRows::push_back(const PanelRowView& row)
{
    records_.push_back(static_cast<uint8_t>(row.image),
                       {row.caption, row.size, row.date, row.time, row.attributes, row.link});
}

PanelRowView PanelRows::view(size_t index) const
{
    const PackedRecords::Record record = records_.get(index);
    PanelRowView row;
    row.image = record.tag;
    row.caption = record.fields[0];
    row.size = record.fields[1];
    row.date = record.fields[2];
    row.time = record.fields[3];
    row.attributes = record.fields[4];
    row.link = record.fields[5];
    return row;
}

PanelRow PanelRows::operator[](size_t index) const
{
    const PanelRowView row = view(index);
    return {row.image,
            std::string(row.caption),
            std::string(row.size),
            std::string(row.date),
            std::string(row.time),
            std::string(row.attributes),
            std::string(row.link)};
}

PanelRow PanelRows::at(size_t index) const
{
    if (index >= size())
        throw std::out_of_range("panel rows: no row at this index");
    return (*this)[index];
}

} // namespace brisk
