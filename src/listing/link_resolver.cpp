#include "listing/link_resolver.h"

#include "listing/text_util.h"

namespace brisk {

namespace {

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

void makeUnknownKind(RemoteEntry& link)
{
    link.isDirectory = true;
    link.linkKindUnknown = true;
    link.size.clear();
}

} // namespace

void LinkTargets::want(std::string_view target)
{
    exact_.try_emplace(std::string(target));
    folded_.try_emplace(lowerAscii(target));
}

void LinkTargets::learn(std::string_view name, bool isDirectory, std::string_view size)
{
    const auto remember = [&](auto& map, const std::string& key) {
        const auto found = map.find(key);
        if (found != map.end() && !found->second.seen)
            found->second = {true, isDirectory, isDirectory ? std::string() : std::string(size)};
    };
    if (empty())
        return;
    remember(exact_, std::string(name));
    remember(folded_, lowerAscii(name));
}

const LinkTargets::Target* LinkTargets::find(std::string_view target) const
{
    for (const auto* map : {&exact_, &folded_}) {
        const auto found = map->find(map == &exact_ ? std::string(target) : lowerAscii(target));
        if (found != map->end() && found->second.seen)
            return &found->second;
    }
    return nullptr;
}

void LinkTargets::settle(RemoteEntry& link) const
{
    const Target* target = find(link.link);
    if (!target)
        return makeUnknownKind(link);
    link.isDirectory = target->isDirectory;
    link.linkKindUnknown = false;
    link.size = target->size;
}

// The name is kept byte for byte: the blanks around the arrow are the server's, those of the name
// are the name's.
bool LinkResolver::splitLink(RemoteEntry& entry)
{
    size_t arrowLength = 0;
    const size_t p = arrowPosition(entry.name, arrowLength);
    if (p != std::string::npos) {
        entry.link = entry.name.substr(p + arrowLength);
        entry.name.resize(p);
    }
    if (!entry.link.empty())
        return true;
    makeUnknownKind(entry);
    return false;
}

void LinkResolver::resolve(RemoteListing& entries) const
{
    if (pending_.empty())
        return;
    LinkTargets targets;
    for (size_t link : pending_)
        targets.want(entries.link(link));
    for (size_t i = 0; i < entries.size(); ++i) {
        const RemoteEntryView e = entries.view(i);
        if (IsLinkTargetCandidate(e))
            targets.learn(e.name, e.isDirectory, e.size);
    }
    for (size_t link : pending_) {
        RemoteEntry entry = entries[link];
        targets.settle(entry);
        entries.setDirectory(link, entry.isDirectory);
        entries.setLinkKindUnknown(link, entry.linkKindUnknown);
        entries.setSize(link, entry.size);
    }
}

} // namespace brisk
