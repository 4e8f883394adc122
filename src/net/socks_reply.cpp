#include "net/socks_reply.h"

#include "net/socket_resolve.h"

#include <algorithm>
#include <cstring>

namespace brisk {

namespace {

// Level-5 reply codes 1..8; 0 is success, 9 and above are unassigned.
const char* const kLevel5Errors[] = {
    "general SOCKS server failure", "connection not allowed by ruleset", "network unreachable",
    "host unreachable", "connection refused", "time to live expired", "command not supported",
    "address type not supported",
};

constexpr int kLevel5ErrorBase = 20003; // code 1 gives 20004
constexpr size_t kMethodReplySize = 2;
constexpr size_t kAuthReplySize = 2;
constexpr size_t kLevel4ReplySize = 8;
constexpr size_t kLevel5AddressReplySize = 10;
constexpr size_t kLevel5NameReplyOverhead = 7;
constexpr size_t kUnsupportedLength = SIZE_MAX;

} // namespace

void SocksReplyReader::start(Kind kind)
{
    dropPending();
    kind_ = kind;
}

void SocksReplyReader::clear()
{
    dropPending();
    boundAddr_.clear();
    boundPort_.clear();
}

void SocksReplyReader::dropPending()
{
    count_ = 0;
    finished_ = Outcome::NeedMore;
    errorCode_ = 0;
    errorText_.clear();
    leftOverPos_ = leftOverCount_ = 0;
}

size_t SocksReplyReader::room() const
{
    if (finished_ != Outcome::NeedMore)
        return 0;
    switch (kind_) {
    case Kind::Method: return kMethodReplySize - count_;
    case Kind::Level4: return kLevel4ReplySize - count_;
    case Kind::Authentication: // an overlong reply must show as such
    case Kind::Level5: return kCapacity - count_;
    }
    return 0;
}

SocksReplyReader::Outcome SocksReplyReader::add(const uint8_t* bytes, size_t count)
{
    const size_t taken = std::min(count, room());
    if (finished_ != Outcome::NeedMore || taken == 0)
        return finished_;
    std::memcpy(buffer_ + count_, bytes, taken);
    count_ += taken;
    finished_ = judge();
    return finished_;
}

size_t SocksReplyReader::takeLeftOver(void* out, size_t len)
{
    const size_t n = std::min(len, leftOverCount_);
    std::memcpy(out, buffer_ + leftOverPos_, n);
    leftOverPos_ += n;
    leftOverCount_ -= n;
    return n;
}

SocksReplyReader::Outcome SocksReplyReader::judge()
{
    switch (kind_) {
    case Kind::Method: return methodReply();
    case Kind::Authentication: return authenticationReply();
    case Kind::Level4: return level4Reply();
    case Kind::Level5: return level5Reply();
    }
    return fail(20013, "internal error");
}

// Only the version is judged here: which method is acceptable depends on what was offered.
SocksReplyReader::Outcome SocksReplyReader::methodReply()
{
    if (count_ < kMethodReplySize)
        return Outcome::NeedMore;
    if (buffer_[0] != 5)
        return fail(20002, "socks version error");
    return Outcome::Done;
}

SocksReplyReader::Outcome SocksReplyReader::authenticationReply()
{
    if (buffer_[0] != 1)
        return fail(20002, "socks version error");
    if (count_ > kAuthReplySize)
        return fail(20001, "too much data availaible");
    if (count_ < kAuthReplySize)
        return Outcome::NeedMore;
    if (buffer_[1] != 0)
        return fail(20015, "socks authentication failed");
    return Outcome::Done;
}

SocksReplyReader::Outcome SocksReplyReader::level4Reply()
{
    if (buffer_[0] != 0)
        return fail(20002, "socks version error");
    if (count_ < 2)
        return Outcome::NeedMore;
    switch (buffer_[1]) {
    case 90: return count_ == kLevel4ReplySize ? Outcome::Done : Outcome::NeedMore;
    case 91: return fail(20016, "request rejected or failed");
    case 92: return fail(20008, "connection refused");
    case 93: return fail(20015, "authentification failed");
    default: return fail(20012, "unassigned error #" + std::to_string(buffer_[1]));
    }
}

SocksReplyReader::Outcome SocksReplyReader::level5Reply()
{
    if (buffer_[0] != 5)
        return fail(20002, "socks version error");
    if (count_ < 2)
        return Outcome::NeedMore;
    const uint8_t code = buffer_[1];
    if (code >= 1 && code <= 8)
        return fail(kLevel5ErrorBase + code, kLevel5Errors[code - 1]);
    if (code != 0)
        return fail(20012, "unassigned error #" + std::to_string(code));
    const size_t length = level5Length();
    if (length == kUnsupportedLength)
        return fail(20011, "address type not supported");
    if (length == 0 || count_ < length)
        return Outcome::NeedMore;
    takeBoundAddress(length);
    leftOverPos_ = length;
    leftOverCount_ = count_ - length;
    return Outcome::Done;
}

// The whole reply's length once the address type (and a name's length) is in, 0 while waiting.
// A bound name too long for the buffer cannot be taken.
size_t SocksReplyReader::level5Length() const
{
    if (count_ < 4)
        return 0;
    if (buffer_[3] == 1)
        return kLevel5AddressReplySize;
    if (buffer_[3] != 3)
        return kUnsupportedLength;
    if (count_ < 5)
        return 0;
    const size_t length = kLevel5NameReplyOverhead + buffer_[4];
    return length <= kCapacity ? length : kUnsupportedLength;
}

void SocksReplyReader::takeBoundAddress(size_t length)
{
    if (buffer_[3] == 1) {
        uint32_t addr = 0;
        std::memcpy(&addr, buffer_ + 4, 4);
        boundAddr_ = WSocketDotted(addr);
    } else {
        boundAddr_.assign(reinterpret_cast<const char*>(buffer_ + 5), buffer_[4]);
    }
    boundPort_ = std::to_string(buffer_[length - 2] * 256 + buffer_[length - 1]);
}

SocksReplyReader::Outcome SocksReplyReader::fail(int code, std::string text)
{
    errorCode_ = code;
    errorText_ = std::move(text);
    return Outcome::Failed;
}

} // namespace brisk
