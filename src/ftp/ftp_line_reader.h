#pragma once
#include <cstddef>
#include <optional>
#include <string>

namespace brisk {

// Cuts the bytes of the control connection into reply lines. At most kCapacity bytes wait without a
// line end; a server that sends more has sent a line too long to be a reply.
class FtpLineReader {
public:
    static constexpr size_t kCapacity = 4095;

    // Where the next read goes, and how much it may take (0 once a line fills the whole buffer).
    char* writePtr() { return buffer_ + len_; }
    size_t room() const { return kCapacity - len_; }
    void commit(size_t count) { len_ += count <= room() ? count : room(); }

    // The next complete line without its trailing CR and LF characters. The line ends at LF when
    // acceptLF is set, else only at CR LF.
    std::optional<std::string> nextLine(bool acceptLF);
    // No room left and no line end within: the waiting line is too long.
    bool overflowed() const { return len_ == kCapacity; }
    void clear() { len_ = 0; }

private:
    char buffer_[kCapacity];
    size_t len_ = 0;
};

} // namespace brisk
