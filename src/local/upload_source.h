#pragma once
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace brisk {

// What an upload does with a local entry. Links to files are sent as the file they name; links to
// directories are never entered (a link loop would never end), and sockets, FIFOs and devices
// have no contents to send.
enum class UploadKind { File, Directory, DirectoryLink, Special, Missing };

struct UploadSource {
    std::string name;
    UploadKind kind = UploadKind::Missing;
    int64_t size = 0;
    std::time_t modified = 0;
};

UploadSource ClassifyUploadSource(const std::string& dir, const std::string& name);
// Every entry of `dir` but "." and "..", sorted by name so a tree is sent in a stable order.
// False when `dir` cannot be read, or is no longer a directory but a link to one: a failure, never
// an empty directory.
bool ReadUploadSources(const std::string& dir, std::vector<UploadSource>& sources);

} // namespace brisk
