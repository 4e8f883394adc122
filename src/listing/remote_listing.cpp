#include "listing/remote_listing.h"

#include <stdexcept>

namespace brisk {

namespace {

constexpr size_t kYearBytes = 2;

bool keepsYear(int year)
{
    return year > 0 && year <= 0xFFFF;
}

} // namespace

RemoteListing::RemoteListing(std::initializer_list<RemoteEntry> entries)
{
    reserve(entries.size());
    for (const RemoteEntry& entry : entries)
        push_back(entry);
}

void RemoteListing::push_back(const RemoteEntry& entry)
{
    uint8_t tag = entry.isDirectory ? kDirectoryTag : 0;
    if (entry.unreadable)
        tag |= kUnreadableTag;
    if (entry.linkKindUnknown)
        tag |= kLinkKindUnknownTag;
    std::string date = entry.date;
    if (keepsYear(entry.year)) {
        tag |= kYearTag;
        date += static_cast<char>(entry.year & 0xFF);
        date += static_cast<char>(entry.year >> 8);
    }
    records_.push_back(tag, {entry.name, entry.size, date, entry.time, entry.attributes, entry.link});
}

RemoteEntryView RemoteListing::view(size_t index) const
{
    const PackedRecords::Record record = records_.get(index);
    const PackedRecords::Fields& f = record.fields;
    RemoteEntryView e{(record.tag & kDirectoryTag) != 0, f[kName], f[kSize], f[kDate], f[kTime], f[kAttributes],
                      f[kLink]};
    e.unreadable = (record.tag & kUnreadableTag) != 0;
    e.linkKindUnknown = (record.tag & kLinkKindUnknownTag) != 0;
    if (record.tag & kYearTag) {
        e.date.remove_suffix(kYearBytes);
        const auto* year = reinterpret_cast<const unsigned char*>(e.date.data() + e.date.size());
        e.year = year[0] | year[1] << 8;
    }
    return e;
}

RemoteEntry RemoteListing::operator[](size_t index) const
{
    const RemoteEntryView e = view(index);
    return {e.isDirectory,       std::string(e.name),       std::string(e.size), std::string(e.date),
            std::string(e.time), std::string(e.attributes), std::string(e.link), e.year, e.unreadable,
            e.linkKindUnknown};
}

RemoteEntry RemoteListing::at(size_t index) const
{
    if (index >= size())
        throw std::out_of_range("remote listing: no entry at this index");
    return (*this)[index];
}

void RemoteListing::setTagBit(size_t index, uint8_t bit, bool on)
{
    const uint8_t others = records_.tag(index) & ~bit;
    records_.setTag(index, static_cast<uint8_t>(on ? others | bit : others));
}

void RemoteListing::setDirectory(size_t index, bool on)
{
    setTagBit(index, kDirectoryTag, on);
}

void RemoteListing::setLinkKindUnknown(size_t index, bool on)
{
    setTagBit(index, kLinkKindUnknownTag, on);
}

void RemoteListing::setSize(size_t index, std::string_view size)
{
    if (records_.field(index, kSize) != size)
        records_.setField(index, kSize, size);
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
