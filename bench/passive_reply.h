// The data port a server names in its answer to PASV (227) or EPSV (229), and the same answer naming
// another port on 127.0.0.1: what a relay tells the client so that the data connection comes to it.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace bench {

struct PassiveReply {
    bool extended = false; // 229 (EPSV) rather than 227 (PASV)
    uint16_t port = 0;
};

// The reply line's data port, or nothing for any other line (or a malformed one).
std::optional<PassiveReply> parsePassiveReply(std::string_view line);

// The reply line, CRLF-terminated, that names `port` on 127.0.0.1 in the same form.
std::string passiveReplyLine(const PassiveReply& reply, uint16_t port);

} // namespace bench
