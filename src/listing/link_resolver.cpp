#include "listing/link_resolver.h"

#include "listing/text_util.h"

#include <string_view>
#include <unordered_map>

namespace brisk {

namespace {

constexpr size_t kNone = size_t(-1);

// Servers write "name -> target"; splitting at the arrow with its blanks first keeps names that
// themselves contain "->" whole.
size_t arrowPosition(std::string_view name, size_t& arrowLength)
{
    size_t p = name.find(" -> ");
    arrowLength = 4;
    if (p == std::string_view::npos) {
        p = name.find("->");
        arrowLength = 2;
    }
    return p;
}

// First entry, by folded name, of every link target; names of other lengths are skipped unhashed.
class TargetIndex {
public:
    TargetIndex(const RemoteListing& entries, const std::vector<size_t>& links)
    {
        for (size_t link : links) {
            const std::string_view target = entries.link(link);
            first_.try_emplace(lowerAscii(target), kNone);
            if (target.size() >= hasLength_.size())
                hasLength_.resize(target.size() + 1);
            hasLength_[target.size()] = true;
        }
        for (size_t i = 0; i < entries.size(); ++i) {
            const std::string_view name = entries.name(i);
            if (!entries.link(i).empty() || name.size() >= hasLength_.size() || !hasLength_[name.size()])
                continue;
            const auto found = first_.find(lowerAscii(name));
            if (found != first_.end() && found->second == kNone)
                found->second = i;
        }
    }

    size_t firstEntryNamed(std::string_view target) const { return first_.at(lowerAscii(target)); }

private:
    std::unordered_map<std::string, size_t> first_;
    std::vector<bool> hasLength_;
};

} // namespace

bool LinkResolver::splitLink(RemoteEntry& entry)
{
    entry.isDirectory = true;
    size_t arrowLength = 0;
    const size_t p = arrowPosition(entry.name, arrowLength);
    if (p != std::string::npos) {
        entry.link = trimBlanks(std::string_view(entry.name).substr(p + arrowLength));
        entry.name.resize(p);
    }
    entry.name = std::string(trimBlanks(entry.name));
    if (!entry.link.empty())
        return true;
    entry.size.clear();
    return false;
}

void LinkResolver::resolve(RemoteListing& entries) const
{
    if (pending_.empty())
        return;
    const TargetIndex index(entries, pending_);
    for (size_t link : pending_) {
        const size_t target = index.firstEntryNamed(entries.link(link));
        if (target != kNone && target < link)
            entries.setDirectory(link, entries.isDirectory(target));
        if (entries.isDirectory(link))
            entries.clearSize(link);
    }
}

} // namespace brisk
