#pragma once

#include "unique_fd.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace brisk::test {

// A plain blocking TCP client to 127.0.0.1:port for driving test servers by hand. Every receive is
// bounded by the limit given to the constructor; a timeout throws std::runtime_error.
class LoopbackClient {
public:
    explicit LoopbackClient(uint16_t port,
                            std::chrono::milliseconds limit = std::chrono::seconds(5));

    void send(std::string_view bytes);
    // Bytes up to and including the next LF; at end of stream, whatever came before it.
    std::string receiveLine();
    // Everything until the server closes the connection.
    std::string receiveAll();

private:
    bool fill();

    UniqueFd fd_;
    std::string buffer_;
};

} // namespace brisk::test
