#pragma once
#include <string>
#include <vector>

namespace brisk {

// A site folder is addressed by its path relative to ProgramDir: empty for the root, else each
// folder name followed by "/". Names are matched without regard to letter case on disk.

// A name that can be a folder: not empty, not "." or "..", no "/" and no NUL.
bool IsSafeFolderName(const std::string& name);
// Every component of a folder path is a safe name (the root, "", is safe too).
bool IsSafeFolderPath(const std::string& folder);

// ProgramDir + folder, each existing component in its on-disk spelling; ends in "/".
std::string SiteFolderDir(const std::string& folder);

// The list file of a directory: its "ftplist.TXT" in whatever case it exists, else that name.
std::string ListFileIn(const std::string& dir);

// False when the folder has no list file or it cannot be read.
bool ReadSiteFolderLines(const std::string& folder, std::vector<std::string>& lines);

// Replaces the list file of an existing directory (owner-only).
bool WriteListFileIn(const std::string& dir, const std::vector<std::string>& lines);

} // namespace brisk
