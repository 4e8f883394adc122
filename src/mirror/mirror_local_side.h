#pragma once
#include "mirror/mirror_plan_input.h"

#include <optional>
#include <string>
#include <vector>

namespace brisk {

// A local directory of a mirror run: `sub` ("/"-separated) below the local root, reached from the
// root one component at a time without following a symbolic link, so that a link below the root
// is never entered nor written through, not even one that replaced a directory after planning.
// Components "." and ".." are refused.
class MirrorLocalDir {
public:
    MirrorLocalDir(const std::string& root, const std::string& sub);
    ~MirrorLocalDir();
    MirrorLocalDir(const MirrorLocalDir&) = delete;
    MirrorLocalDir& operator=(const MirrorLocalDir&) = delete;

    // 0 while all is well, else the error (errno) that stopped opening or reading it.
    int error() const { return error_; }

    // Its entries in the file system's order; nothing when it cannot be opened or read whole, or
    // an entry cannot be looked at. A link is marked as one and says what it points to.
    std::optional<std::vector<MirrorLocalItem>> read();

    // mkdirat and unlinkat inside it: a link named `name` is removed itself, never followed.
    bool makeDirectory(const std::string& name);
    bool removeFile(const std::string& name);

private:
    bool fail();
    std::optional<MirrorLocalItem> describe(const char* name);

    int fd_ = -1;
    int error_ = 0;
};

} // namespace brisk
