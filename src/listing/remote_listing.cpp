#include "listing/remote_listing.h"

#include <stdexcept>

namespace brisk {

RemoteListing::RemoteListing(std::initializer_list<RemoteEntry> entries)
{
    reserve(entries.size());
    for (const RemoteEntry& entry : entries)
        push_back(entry);
}

void RemoteListing::push_back(const RemoteEntry& entry)
{
    records_.push_back(entry.isDirectory ? 1 : 0,
                       {entry.name, entry.size, entry.date, entry.time, entry.attributes, entry.link});
}

RemoteEntryView RemoteListing::view(size_t index) const
{
    const PackedRecords::Record record = records_.get(index);
    const PackedRecords::Fields& f = record.fields;
    return {record.tag != 0, f[kName], f[kSize], f[kDate], f[kTime], f[kAttributes], f[kLink]};
}

RemoteEntry RemoteListing::operator[](size_t index) const
{
    const RemoteEntryView e = view(index);
    return {e.isDirectory,       std::string(e.name),       std::string(e.size), std::string(e.date),
            std::string(e.time), std::string(e.attributes), std::string(e.link)};
}

RemoteEntry RemoteListing::at(size_t index) const
{
    if (index >= size())
        throw std::out_of_range("remote listing: no entry at this index");
    return (*this)[index];
}

void RemoteListing::clearSize(size_t index)
{
    if (!records_.field(index, kSize).empty())
        records_.setField(index, kSize, {});
}

bool RemoteListing::operator==(const RemoteListing& other) const
{
    if (size() != other.size())
        return false;
    for (size_t i = 0; i < size(); ++i) {
        const PackedRecords::Record a = records_.get(i);
        const PackedRecords::Record b = other.records_.get(i);
        if (a.tag != b.tag || a.fields != b.fields)
            return false;
    }
    return true;
}

} // namespace brisk
