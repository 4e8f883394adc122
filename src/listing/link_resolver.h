#pragma once
#include "listing/remote_entry.h"
#include "listing/remote_listing.h"

#include <vector>

namespace brisk {

// Symbolic links of one listing. A link takes the kind of the first earlier entry without a link
// target whose name equals its target (case-insensitive), else it counts as a directory. That
// lookup only depends on entries before the link, so it runs once over the finished listing:
// linear, and free for listings without links.
class LinkResolver {
public:
    // For an entry whose attributes start with "l": splits "name -> target", marks it a
    // directory, and returns whether its final kind still depends on its target.
    static bool splitLink(RemoteEntry& entry);

    // Records the emitted entry at `index` as a link that waits for `resolve`.
    void addPending(size_t index) { pending_.push_back(index); }

    // Gives every pending link its kind; links that stay directories lose their size.
    void resolve(RemoteListing& entries) const;

private:
    std::vector<size_t> pending_;
};

} // namespace brisk
