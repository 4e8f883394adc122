#include "listing/mask_match.h"

#include "listing/split_fields.h"
#include "listing/text_util.h"

#include <vector>

namespace brisk {

namespace {

bool matchesEverything(std::string_view mask)
{
    return mask.empty() || mask == "*" || mask == "*.*";
}

// Length of the UTF-8 character starting at `pos`, so "?" stands for a whole character.
size_t characterLength(std::string_view text, size_t pos)
{
    size_t end = pos + 1;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        ++end;
    return end - pos;
}

// Wildcard match with single-star backtracking: linear for each star, never exponential.
bool matchesPart(std::string_view name, std::string_view pattern)
{
    size_t n = 0;
    size_t p = 0;
    size_t starPattern = std::string_view::npos;
    size_t starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starPattern = p++;
            starName = n;
        } else if (p < pattern.size() && pattern[p] == '?') {
            ++p;
            n += characterLength(name, n);
        } else if (p < pattern.size() && lowerAscii(pattern[p]) == lowerAscii(name[n])) {
            ++p;
            ++n;
        } else if (starPattern != std::string_view::npos) {
            p = starPattern + 1;
            starName += characterLength(name, starName);
            n = starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool matchesSingleMask(std::string_view name, std::string_view mask)
{
    if (mask == "*" || mask == "*.*")
        return true;
    std::vector<std::string_view> nameParts;
    std::vector<std::string_view> maskParts;
    splitFieldViews(".", name, nameParts);
    splitFieldViews(".", mask, maskParts);
    if (nameParts.size() != maskParts.size())
        return false;
    for (size_t i = 0; i < nameParts.size(); ++i) {
        if (!matchesPart(nameParts[i], maskParts[i]))
            return false;
    }
    return true;
}

} // namespace

bool MatchesMask(std::string_view name, std::string_view mask)
{
    if (matchesEverything(mask))
        return true;
    std::vector<std::string_view> masks;
    splitFieldViews(",", mask, masks);
    for (std::string_view single : masks) {
        if (matchesSingleMask(name, single))
            return true;
    }
    return false;
}

} // namespace brisk
