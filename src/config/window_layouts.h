#pragma once
#include <array>
#include <cstdint>

namespace brisk {

// The main window's division, in pixels: the log pane's height, the widths of the local side, the
// remote side and the local directory tree (0: hidden), then the local list's four and the remote
// list's six column widths.
struct LayoutSizes {
    int32_t LogHeight = 0;
    int32_t Local = 0;
    int32_t Ftp = 0;
    int32_t LocDirList = 0;
    int32_t LocFile = 0;
    int32_t LocSize = 0;
    int32_t LocDate = 0;
    int32_t LocTime = 0;
    int32_t FtpFile = 0;
    int32_t FtpSize = 0;
    int32_t FtpDate = 0;
    int32_t FtpTime = 0;
    int32_t FtpAttribute = 0;
    int32_t FtpLinks = 0;

    bool operator==(const LayoutSizes&) const = default;
};

// A key of the "Layouts" section and the size it holds.
struct LayoutKey {
    const char* name;
    int32_t LayoutSizes::*field;
};

// Every key, in the order the section is written.
extern const std::array<LayoutKey, 14> kLayoutKeys;

// Reads the "Layouts" section of the options file over `sizes`, which hold the window's current
// sizes: a missing key, or one that is not an integer, keeps what it holds.
void LoadLayouts(LayoutSizes& sizes);

// Writes all fourteen keys to "Layouts"; every other section and key of the file is kept.
// Throws IniWriteError ("Unable to write to <path>") when the file cannot be written.
void SaveLayouts(const LayoutSizes& sizes);

} // namespace brisk
