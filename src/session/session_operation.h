#pragma once

namespace brisk {

// An operation of a higher layer (the mirror run) on the session's connection. The session asks it
// whether it runs and tells it Stop; the operation reports its own progress.
class SessionOperation {
public:
    virtual ~SessionOperation() = default;
    virtual bool running() const = 0;
    // Ends the operation at its next step; true when a file transfer is under way, which Stop then
    // aborts.
    virtual bool stop() = 0;
};

} // namespace brisk
