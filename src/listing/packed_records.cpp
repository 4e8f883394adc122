#include "listing/packed_records.h"

#include <algorithm>

namespace brisk {

namespace {

// Most records are well under a hundred bytes; a record longer than a block gets one of its own.
constexpr size_t kBlockBytes = 64 * 1024;
constexpr size_t kMaxHeaderBytes = 1 + PackedRecords::kFields * 10;

size_t putLength(char* out, size_t value)
{
    size_t n = 0;
    while (value >= 0x80) {
        out[n++] = static_cast<char>((value & 0x7F) | 0x80);
        value >>= 7;
    }
    out[n++] = static_cast<char>(value);
    return n;
}

size_t takeLength(const char*& in)
{
    size_t value = 0;
    for (int shift = 0;; shift += 7) {
        const auto byte = static_cast<unsigned char>(*in++);
        value |= size_t(byte & 0x7F) << shift;
        if (byte < 0x80)
            return value;
    }
}

} // namespace

void PackedRecords::clear()
{
    blocks_.clear();
    slots_.clear();
}

std::string& PackedRecords::blockFor(size_t bytes)
{
    if (blocks_.empty() || blocks_.back().size() + bytes > kBlockBytes)
        blocks_.emplace_back().reserve(std::max(kBlockBytes, bytes));
    return blocks_.back();
}

void PackedRecords::push_back(uint8_t tag, const Fields& fields)
{
    char header[kMaxHeaderBytes];
    size_t headerBytes = 0;
    header[headerBytes++] = static_cast<char>(tag);
    size_t bytes = 0;
    for (std::string_view text : fields) {
        headerBytes += putLength(header + headerBytes, text.size());
        bytes += text.size();
    }
    std::string& block = blockFor(headerBytes + bytes);
    slots_.push_back({static_cast<uint32_t>(blocks_.size() - 1), static_cast<uint32_t>(block.size())});
    block.append(header, headerBytes);
    for (std::string_view text : fields)
        block.append(text);
}

const char* PackedRecords::start(size_t index) const
{
    const Slot slot = slots_[index];
    return blocks_[slot.block].data() + slot.offset;
}

PackedRecords::Record PackedRecords::get(size_t index) const
{
    const char* in = start(index);
    Record record;
    record.tag = static_cast<uint8_t>(*in++);
    std::array<size_t, kFields> lengths;
    for (size_t& length : lengths)
        length = takeLength(in);
    for (size_t f = 0; f < kFields; ++f) {
        record.fields[f] = std::string_view(in, lengths[f]);
        in += lengths[f];
    }
    return record;
}

uint8_t PackedRecords::tag(size_t index) const
{
    return static_cast<uint8_t>(*start(index));
}

void PackedRecords::setTag(size_t index, uint8_t tag)
{
    const Slot slot = slots_[index];
    blocks_[slot.block][slot.offset] = static_cast<char>(tag);
}

void PackedRecords::setField(size_t index, size_t field, std::string_view text)
{
    // The new record is packed from copies: appending may move the block the old fields are in.
    const Record old = get(index);
    std::array<std::string, kFields> copies;
    Fields fields;
    for (size_t f = 0; f < kFields; ++f) {
        copies[f] = f == field ? text : old.fields[f];
        fields[f] = copies[f];
    }
    push_back(old.tag, fields);
    slots_[index] = slots_.back();
    slots_.pop_back();
}

void PackedRecords::reorder(const std::vector<size_t>& order)
{
    std::vector<Slot> ordered;
    ordered.reserve(order.size());
    for (size_t from : order)
        ordered.push_back(slots_[from]);
    slots_ = std::move(ordered);
}

} // namespace brisk
