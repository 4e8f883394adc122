#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brisk {

// Records of six text fields and a one-byte tag, packed for long listings: the bytes of all
// records live in a few large blocks (a header of the tag and the field lengths, then the texts
// back to back), and each record is an 8-byte slot pointing there. Fields hold any byte, NUL
// included, and are only ever found by their lengths. Views handed out stay valid until the next
// change of the records.
class PackedRecords {
public:
    static constexpr size_t kFields = 6;
    using Fields = std::array<std::string_view, kFields>;
    struct Record {
        uint8_t tag = 0;
        Fields fields;
    };

    size_t size() const { return slots_.size(); }
    bool empty() const { return slots_.empty(); }
    void reserve(size_t count) { slots_.reserve(count); }
    void clear();
    void shrink_to_fit() { slots_.shrink_to_fit(); }

    void push_back(uint8_t tag, const Fields& fields);
    Record get(size_t index) const;
    std::string_view field(size_t index, size_t field) const { return get(index).fields[field]; }
    uint8_t tag(size_t index) const;
    void setTag(size_t index, uint8_t tag);
    // Packs the record anew with one field replaced; the old bytes stay unused until clear().
    void setField(size_t index, size_t field, std::string_view text);
    // Record i becomes the record that was at order[i]; order must be a permutation.
    void reorder(const std::vector<size_t>& order);

private:
    struct Slot {
        uint32_t block;
        uint32_t offset;
    };
    std::string& blockFor(size_t bytes);
    const char* start(size_t index) const;

    std::vector<std::string> blocks_;
    std::vector<Slot> slots_;
};

// Iterates a container whose operator[] returns records by value, so range-for over it yields
// values that callers may bind to const references.
template <class Container, class Value>
class IndexIterator {
public:
    using value_type = Value;
    using difference_type = std::ptrdiff_t;
    using reference = Value;
    using pointer = void;

    IndexIterator() = default;
    IndexIterator(const Container* container, size_t index) : container_(container), index_(index) {}
    Value operator*() const { return (*container_)[index_]; }
    IndexIterator& operator++()
    {
        ++index_;
        return *this;
    }
    IndexIterator operator++(int)
    {
        IndexIterator before = *this;
        ++index_;
        return before;
    }
    bool operator==(const IndexIterator& other) const { return index_ == other.index_; }

private:
    const Container* container_ = nullptr;
    size_t index_ = 0;
};

} // namespace brisk
