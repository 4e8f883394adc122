#pragma once
#include "mirror/mirror_record.h"

#include <string>
#include <vector>

namespace brisk {

// Where a run stood when it ended: the head of the state file.
struct MirrorStateHeader {
    std::string Host;
    std::string LocalRoot;
    std::string RemoteRoot;
    std::string LocalSub;
    std::string RemoteSub;
    bool Stopped = false;
};

inline constexpr const char* kMirrorStateFileName = "mirrorstate.txt";

// One record's line of the state file, without its line end: names, sizes, operation and state
// separated by TAB.
std::string MirrorRecordLine(const TMirrorRec& rec);

// The state file's text: the header's six lines ("Stopped" or "Ok" last), then one line per record
// with its names, sizes, operation and state separated by TAB; every line ends in CR LF.
std::string FormatMirrorState(const MirrorStateHeader& header, const std::vector<TMirrorRec>& items);

// Writes that text to `path`, replacing the file; false when it cannot be written.
bool WriteMirrorState(const std::string& path, const MirrorStateHeader& header, const std::vector<TMirrorRec>& items);

} // namespace brisk
