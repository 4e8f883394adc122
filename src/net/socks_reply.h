#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace brisk {

// Collects one reply of a SOCKS server from bytes as they arrive, in any pieces, and judges it.
// Holds no socket: the caller reads at most room() bytes and hands them to add().
class SocksReplyReader {
public:
    enum class Kind { Method, Authentication, Level4, Level5 };
    enum class Outcome { NeedMore, Done, Failed };

    // Room for every reply but a level-5 one that names a long bound host.
    static constexpr size_t kCapacity = 128;

    // Starts collecting a reply of the given kind; its bytes take the place of any left over.
    void start(Kind kind);
    // Forgets everything, the bound address included (a new connect).
    void clear();
    // Drops what was collected and what was left over (the connection ended).
    void dropPending();

    // How many bytes the current reply may still take. A level-4 reply is taken exactly, so that
    // the destination's first bytes stay in the socket; a level-5 reply may bring them along.
    size_t room() const;
    // Takes at most room() of the count bytes; the outcome once the reply is complete or wrong.
    Outcome add(const uint8_t* bytes, size_t count);

    uint8_t method() const { return buffer_[1]; }
    int errorCode() const { return errorCode_; }
    const std::string& errorText() const { return errorText_; }
    // What a level-5 server reported as its end of the connection to the destination.
    const std::string& boundAddr() const { return boundAddr_; }
    const std::string& boundPort() const { return boundPort_; }

    // Bytes that came behind a level-5 reply: the destination's first bytes.
    size_t leftOverCount() const { return leftOverCount_; }
    size_t takeLeftOver(void* out, size_t len);

private:
    Outcome judge();
    Outcome methodReply();
    Outcome authenticationReply();
    Outcome level4Reply();
    Outcome level5Reply();
    size_t level5Length() const;
    void takeBoundAddress(size_t length);
    Outcome fail(int code, std::string text);

    Kind kind_ = Kind::Method;
    uint8_t buffer_[kCapacity] = {};
    size_t count_ = 0;
    Outcome finished_ = Outcome::NeedMore;
    size_t leftOverPos_ = 0, leftOverCount_ = 0;
    int errorCode_ = 0;
    std::string errorText_;
    std::string boundAddr_, boundPort_;
};

} // namespace brisk
