#include "listing/listing_parser.h"

#include "listing/link_resolver.h"
#include "listing/listing_rules.h"
#include "listing/response_type.h"

namespace brisk {

namespace {

constexpr std::string_view kVmsHeader = "DISK$ARCHIVE:[";
constexpr size_t kVmsWrapWidth = 40;

std::string vmsPathOf(std::string_view header)
{
    std::string_view path = header.substr(kVmsHeader.size());
    path = path.substr(0, path.find(']'));
    std::string out(path);
    for (char& c : out) {
        if (c == '.')
            c = '/';
    }
    return out;
}

class LineParser {
public:
    LineParser(std::string_view descriptor, const CalendarDate& startDate)
        : type_(responseTypeOf(descriptor)), columns_(customColumnsOf(descriptor)), startDate_(startDate)
    {
    }

    ResponseType type() const { return type_; }

    bool apply(std::string_view line, RemoteEntry& entry)
    {
        switch (type_) {
        case ResponseType::Text: return applyTextRule(line, entry);
        case ResponseType::MsFtp4: return applyMsFtp4Rule(line, tokens_, entry);
        case ResponseType::Mac: return applyMacRule(line, tokens_, entry);
        case ResponseType::Custom: return applyCustomRule(line, columns_, tokens_, entry);
        case ResponseType::Vms: return applyVmsRule(line, tokens_, entry);
        case ResponseType::MsFtp5:
        case ResponseType::Windows2000: return applyFixedColumnsRule(line, entry);
        case ResponseType::UnixBsd: return applyUnixColumnsRule(line, 3, entry);
        case ResponseType::WuFtp2: return applyUnixColumnsRule(line, 5, entry);
        case ResponseType::Automatic: break;
        }
        return applyAutomaticRule(line, startDate_, entry);
    }

private:
    ResponseType type_;
    CustomColumns columns_;
    CalendarDate startDate_;
    std::vector<std::string_view> tokens_;
};

bool isDotEntry(const std::string& name)
{
    return name == "." || name == "..";
}

} // namespace

ParsedListing ParseListing(std::string_view descriptor, const CalendarDate& startDate,
                           const std::vector<std::string>& lines)
{
    ParsedListing result;
    result.entries.reserve(lines.size());
    LineParser parser(descriptor, startDate);
    LinkResolver links;
    std::string joined;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string_view line = lines[i];
        if (line.size() < 3)
            continue;
        if (parser.type() == ResponseType::Vms) {
            if (line.starts_with(kVmsHeader)) {
                result.vmsPath = vmsPathOf(line);
                continue;
            }
            // A long VMS name stands alone on its line; its details follow on the next one.
            if (i + 1 < lines.size() && line.size() < kVmsWrapWidth) {
                joined.assign(line).append(lines[++i]);
                line = joined;
            }
        }
        RemoteEntry entry;
        if (!parser.apply(line, entry))
            continue;
        const bool pendingLink = entry.attributes.starts_with('l') && LinkResolver::splitLink(entry);
        if (isDotEntry(entry.name))
            continue;
        if (pendingLink)
            links.addPending(result.entries.size());
        result.entries.push_back(std::move(entry));
    }
    links.resolve(result.entries);
    return result;
}

std::vector<std::string> splitListingLines(std::string_view data)
{
    std::vector<std::string> lines;
    while (!data.empty()) {
        const size_t end = data.find('\n');
        std::string_view line = data.substr(0, end);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        lines.emplace_back(line);
        data = end == std::string_view::npos ? std::string_view{} : data.substr(end + 1);
    }
    return lines;
}

} // namespace brisk
