#pragma once
#include "listing/remote_entry.h"
#include "listing/remote_listing.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace brisk {

// What one listing shows of the targets of its links. A link whose target is an entry of the same
// listing (not itself a link; the exact name first, else the first one equal but for letter case)
// is what that entry is: a directory, or a file of that entry's size, the bytes a download of the
// link gives. Any other link (a path, a missing name, another link) may be either: it counts as a
// directory of unknown kind without a size. Only the wanted names are remembered, so a listing read
// in several passes costs memory for its links only.
class LinkTargets {
public:
    // The first pass: every link's target.
    void want(std::string_view target);
    bool empty() const { return exact_.empty(); }
    // The second pass: every entry that is no link.
    void learn(std::string_view name, bool isDirectory, std::string_view size);
    // Gives a link its kind and size from what was learnt.
    void settle(RemoteEntry& link) const;

private:
    struct Target {
        bool seen = false;
        bool isDirectory = false;
        std::string size;
    };
    const Target* find(std::string_view target) const;

    std::unordered_map<std::string, Target> exact_;
    std::unordered_map<std::string, Target> folded_;
};

// Whether an entry can be a link's target: a readable entry that is no link.
template <class Entry>
bool IsLinkTargetCandidate(const Entry& e)
{
    return !e.unreadable && e.link.empty() && !e.linkKindUnknown && !e.attributes.starts_with('l');
}

// Symbolic links of one listing held whole: their kinds are settled once the listing is complete.
class LinkResolver {
public:
    // For an entry whose attributes start with "l": splits "name -> target" and returns whether
    // the kind depends on other entries; a link without a target is of unknown kind at once.
    static bool splitLink(RemoteEntry& entry);

    // Records the emitted entry at `index` as a link that waits for `resolve`.
    void addPending(size_t index) { pending_.push_back(index); }

    // Gives every pending link its kind and size.
    void resolve(RemoteListing& entries) const;

private:
    std::vector<size_t> pending_;
};

} // namespace brisk
