#include "net/tbuffer.h"

#include <algorithm>
#include <cstring>

namespace brisk {

TBuffer::TBuffer(int size) : data_(size_t(size > 0 ? size : kDefaultSize)) {}

int TBuffer::Write(const uint8_t* data, int len)
{
    const int count = std::max(0, std::min(len, Size() - wr_));
    if (count > 0)
        std::memcpy(data_.data() + wr_, data, size_t(count));
    wr_ += count;
    return count;
}

const uint8_t* TBuffer::Peek(int& len) const
{
    len = wr_ - rd_;
    return data_.data() + rd_;
}

void TBuffer::Remove(int len)
{
    rd_ = std::min(wr_, rd_ + std::max(0, len));
    if (rd_ == wr_)
        rd_ = wr_ = 0;
}

} // namespace brisk
