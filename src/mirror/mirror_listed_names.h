#pragma once
#include "listing/remote_listing.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace brisk {

// Where a name stands in the listing the run last received, found without walking the listing for
// every file of a large directory. It is built again only when another listing has come.
class MirrorListedNames {
public:
    std::optional<size_t> find(const std::shared_ptr<const RemoteListing>& listing, const std::string& name)
    {
        if (listing != listing_) {
            listing_ = listing;
            index_.clear();
            for (size_t i = listing ? listing->size() : 0; i-- > 0;)
                index_[listing->name(i)] = i;   // the first of equal names wins
        }
        const auto found = index_.find(name);
        return found == index_.end() ? std::nullopt : std::optional<size_t>(found->second);
    }

private:
    std::shared_ptr<const RemoteListing> listing_;
    std::unordered_map<std::string_view, size_t> index_;
};

} // namespace brisk
