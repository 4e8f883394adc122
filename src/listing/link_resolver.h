#pragma once
#include "listing/remote_entry.h"

#include <string>
#include <unordered_map>

namespace brisk {

// Resolves symbolic links of one listing against the entries emitted before them.
class LinkResolver {
public:
    // Marks an entry whose attributes start with "l" as a link: splits "name -> target", and takes
    // the kind of an earlier entry of that name (case-insensitive), else treats it as a directory.
    void resolve(RemoteEntry& entry) const;

    // Records an emitted entry that is not a link; the first entry of a name wins.
    void remember(const RemoteEntry& entry);

private:
    std::unordered_map<std::string, bool> isDirectoryByName_;
};

} // namespace brisk
