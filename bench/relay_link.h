// One connection through the delaying relay: the client's socket, the server's, and a delayed pipe
// each way. A control connection also keeps the server's unfinished reply line and the relay's
// listener for the data connection its latest passive reply announced.
#pragma once
#include "delayed_pipe.h"
#include "unique_fd.h"

#include <cstdint>
#include <string>

namespace bench {

struct RelayLink {
    RelayLink(brisk::test::UniqueFd client, brisk::test::UniqueFd server, DelayedPipe::Clock::duration delay)
        : client(std::move(client)), server(std::move(server)), up(delay), down(delay)
    {
    }

    // Both ends passed on, or a socket failed: nothing more to relay.
    bool done() const { return failed || (up.finished() && down.finished()); }

    brisk::test::UniqueFd client, server;
    DelayedPipe up;   // client to server
    DelayedPipe down; // server to client
    bool failed = false;

    // Control connections only.
    bool control = false;
    std::string partialLine;
    brisk::test::UniqueFd dataListener;
    uint16_t dataPort = 0; // the server's, behind dataListener
};

} // namespace bench
