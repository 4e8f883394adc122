#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace brisk {

// One step of a mirror run; the state file writes the names as they stand.
enum TMirrorOperation : uint8_t {
    omNone,
    omGet,      // download a remote file into the local directory
    omPut,      // upload a local file into the remote directory
    omMkdLoc,
    omMkdFtp,
    omRmdLoc,   // a local directory with all its content
    omRmdFtp,   // a remote directory with all its content
    omDelLoc,
    omDelFtp,
    omDir,      // enter a subdirectory, then plan it
    omDirUp,    // leave the subdirectory
};

enum TMirrorState : uint8_t {
    smNone,         // not yet started
    smProgress,     // started, completion outstanding
    smDirProgress,  // a transfer handed to a connection of its own, completion outstanding
    smDone,         // finished, or skipped by choice
    smStopped,
    smError,        // failed, or skipped because an earlier step failed
};

// One operation. Names are relative to the run's current directories; a transfer carries the same
// name on both sides.
struct TMirrorRec {
    std::string LocalName;
    std::string RemoteName;
    int64_t LocalSize = 0;
    int64_t RemoteSize = 0;
    TMirrorOperation Operation = omNone;
    TMirrorState State = smNone;
    bool Emptied = false;   // an "omRmdFtp" whose content has been planned for deletion

    bool operator==(const TMirrorRec&) const = default;
};

std::string_view MirrorOperationName(TMirrorOperation operation);
std::string_view MirrorStateName(TMirrorState state);

} // namespace brisk
