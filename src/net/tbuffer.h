#pragma once
#include <cstdint>
#include <vector>

namespace brisk {

// One block of a socket's send queue: a fixed byte area with a write and a read position.
class TBuffer {
public:
    static constexpr int kDefaultSize = 1514;

    explicit TBuffer(int size = kDefaultSize);

    // Appends as many of len bytes as fit; returns how many were taken.
    int Write(const uint8_t* data, int len);
    // The unread bytes.
    const uint8_t* Peek(int& len) const;
    // Advances the read position; once everything is read both positions return to 0 for reuse.
    void Remove(int len);
    // Forgets the contents, keeping the byte area for reuse.
    void Reset() { wr_ = rd_ = 0; }

    int Size() const { return int(data_.size()); }
    int Unread() const { return wr_ - rd_; }
    bool Full() const { return wr_ >= Size(); }

private:
    std::vector<uint8_t> data_;
    int wr_ = 0;
    int rd_ = 0;
};

} // namespace brisk
