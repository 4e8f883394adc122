#pragma once
#include "mirror/mirror_task.h"

#include <optional>
#include <string>
#include <vector>

namespace brisk::cli {

// The words after "mirror": what the flags say, each left unset when not given, so that they
// override a profile only where given.
struct MirrorArgs {
    std::string profile;
    std::optional<uint8_t> direction;
    std::optional<uint8_t> fileExists;
    bool deleteMissing = false;
    bool subdirs = false;
    std::vector<std::string> exclusions;
    bool dryRun = false;
    bool directUpload = false;   // uploads under their own names, without the temporary one
    std::string localDir;
    std::string remoteDir;
};

// Reads the words; returns an error message, empty on success.
std::string ParseMirrorArgs(const std::vector<std::string>& args, MirrorArgs& parsed);

// The flags on top of `task` (the start values or a loaded profile), with the two directories.
void ApplyMirrorArgs(const MirrorArgs& args, TRecMirror& task);

} // namespace brisk::cli
