#pragma once
#include <cstdint>
#include <string>

namespace brisk {

// The bits of TRecMirror::Params, in the order of the dialog's check boxes.
enum MirrorParam : uint8_t {
    mpIncludeSubfolders = 1,
    mpIgnoreSymbolicLinks = 2,
    mpDeleteMissing = 4,      // delete target entries the source side lacks
    mpPromptBeforeDelete = 8,
    mpAllBinary = 16,
};
constexpr int kMirrorParamCount = 5;
constexpr uint8_t kMirrorParamMask = 31;

// What a run does with a file both sides have; the stored profile keeps the number.
enum class MirrorFileExists : uint8_t { Overwrite, OverwriteNewest, Skip, Ask };
constexpr int kMirrorFileExistsCount = 4;

// The mirror task: which local and remote directories are made alike, in which direction, and what
// to do with files that exist on both sides. The program holds one for its whole run.
struct TRecMirror {
    std::string Local;        // local root, as typed
    std::string Remote;       // remote root, "/"-separated, as typed
    std::string Exclusions;   // the exclusion items joined by "|"
    uint8_t Direction = 0;    // 0 local to remote, 1 remote to local, 2 both ways
    MirrorFileExists FileExists = MirrorFileExists::Overwrite;
    uint8_t Params = mpIgnoreSymbolicLinks | mpPromptBeforeDelete | mpAllBinary;
    bool Loaded = false;      // a profile has been read, or the panels have filled the task
    bool TempUpload = true;   // uploads go to "NAME.part" and are renamed to NAME when complete
};

} // namespace brisk
