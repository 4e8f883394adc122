#include "listing/link_resolver.h"

#include "listing/text_util.h"

namespace brisk {

namespace {

// Servers write "name -> target"; splitting at the blanked arrow first keeps names that
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

} // namespace

void LinkResolver::resolve(RemoteEntry& entry) const
{
    if (!entry.attributes.starts_with('l'))
        return;
    entry.isDirectory = true;
    size_t arrowLength = 0;
    const size_t p = arrowPosition(entry.name, arrowLength);
    if (p != std::string::npos) {
        entry.link = trimBlanks(std::string_view(entry.name).substr(p + arrowLength));
        entry.name.resize(p);
    }
    entry.name = std::string(trimBlanks(entry.name));
    if (!entry.link.empty()) {
        const auto found = isDirectoryByName_.find(lowerAscii(entry.link));
        if (found != isDirectoryByName_.end())
            entry.isDirectory = found->second;
    }
    if (entry.isDirectory)
        entry.size.clear();
}

void LinkResolver::remember(const RemoteEntry& entry)
{
    isDirectoryByName_.try_emplace(lowerAscii(entry.name), entry.isDirectory);
}

} // namespace brisk
