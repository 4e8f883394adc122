#pragma once
#include "listing/packed_records.h"
#include "listing/remote_entry.h"

#include <cstdint>
#include <initializer_list>
#include <string_view>

namespace brisk {

// An entry's fields without copies, valid until the listing changes.
struct RemoteEntryView {
    bool isDirectory = false;
    std::string_view name;
    std::string_view size;
    std::string_view date;
    std::string_view time;
    std::string_view attributes;
    std::string_view link;
    int year = 0;
    bool unreadable = false;
    bool linkKindUnknown = false;
};

// The entries of one remote listing, packed so that a listing of a million entries costs tens of
// megabytes rather than hundreds. Entries come back by value; name() and friends give views for
// loops over the whole listing. An entry's year costs two bytes after its date text, and only
// when it has one.
class RemoteListing {
public:
    using value_type = RemoteEntry;
    using const_iterator = IndexIterator<RemoteListing, RemoteEntry>;
    using iterator = const_iterator;

    RemoteListing() = default;
    RemoteListing(std::initializer_list<RemoteEntry> entries);

    size_t size() const { return records_.size(); }
    bool empty() const { return records_.empty(); }
    void reserve(size_t count) { records_.reserve(count); }
    void clear() { records_.clear(); }
    void shrink_to_fit() { records_.shrink_to_fit(); }

    void push_back(const RemoteEntry& entry);
    RemoteEntry operator[](size_t index) const;
    // As operator[], but throws std::out_of_range past the end.
    RemoteEntry at(size_t index) const;
    RemoteEntryView view(size_t index) const;
    RemoteEntry front() const { return (*this)[0]; }
    RemoteEntry back() const { return (*this)[size() - 1]; }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

    bool isDirectory(size_t index) const { return (records_.tag(index) & kDirectoryTag) != 0; }
    bool unreadable(size_t index) const { return (records_.tag(index) & kUnreadableTag) != 0; }
    std::string_view name(size_t index) const { return records_.field(index, kName); }
    std::string_view link(size_t index) const { return records_.field(index, kLink); }

    void setDirectory(size_t index, bool on);
    void setLinkKindUnknown(size_t index, bool on);
    void setSize(size_t index, std::string_view size);
    void clearSize(size_t index) { setSize(index, {}); }

    bool operator==(const RemoteListing& other) const;

private:
    enum Field : size_t { kName, kSize, kDate, kTime, kAttributes, kLink };
    static constexpr uint8_t kDirectoryTag = 1;
    static constexpr uint8_t kYearTag = 2;  // the date text ends in the year, two bytes low first
    static constexpr uint8_t kUnreadableTag = 4;
    static constexpr uint8_t kLinkKindUnknownTag = 8;
    void setTagBit(size_t index, uint8_t bit, bool on);
    PackedRecords records_;
};

} // namespace brisk
