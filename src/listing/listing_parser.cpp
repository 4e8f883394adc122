#include "listing/listing_parser.h"

#include "listing/link_resolver.h"
#include "listing/listing_file_lines.h"
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

struct ListingLineParser::Rules {
    Rules(std::string_view descriptor, const CalendarDate& startDate) : line(descriptor, startDate) {}
    LineParser line;
};

ListingLineParser::ListingLineParser(std::string_view descriptor, const CalendarDate& startDate)
    : rules_(std::make_unique<Rules>(descriptor, startDate))
{
}

ListingLineParser::~ListingLineParser() = default;

void ListingLineParser::addLine(std::string_view line, const Sink& sink)
{
    if (holding_) {
        holding_ = false;
        heldBack_.append(line);
        return parse(heldBack_, sink);
    }
    if (line.size() < 3)
        return;
    if (rules_->line.type() == ResponseType::Vms) {
        if (line.starts_with(kVmsHeader)) {
            vmsPath_ = vmsPathOf(line);
            return;
        }
        // A long VMS name stands alone on its line; its details follow on the next one.
        if (line.size() < kVmsWrapWidth) {
            heldBack_.assign(line);
            holding_ = true;
            return;
        }
    }
    parse(line, sink);
}

void ListingLineParser::finish(const Sink& sink)
{
    if (!holding_)
        return;
    holding_ = false;
    parse(heldBack_, sink);
}

void ListingLineParser::parse(std::string_view line, const Sink& sink)
{
    RemoteEntry entry;
    if (!rules_->line.apply(line, entry))
        return;
    // The line is kept whole for the log and the panel: never split at an arrow, never a directory,
    // never taken for a name by any command.
    if (entry.unreadable) {
        entry.name = line;
        entry.isDirectory = false;
        return sink(entry, false);
    }
    const bool pendingLink = entry.attributes.starts_with('l') && LinkResolver::splitLink(entry);
    if (isDotEntry(entry.name))
        return;
    sink(entry, pendingLink);
}

namespace {

// Collects the entries of a parse, then settles the kinds of its links.
class CollectedListing {
public:
    explicit CollectedListing(ParsedListing& out) : out_(out) {}

    ListingLineParser::Sink sink()
    {
        return [this](RemoteEntry& entry, bool pendingLink) {
            if (pendingLink)
                links_.addPending(out_.entries.size());
            out_.entries.push_back(entry);
        };
    }
    void finish(ListingLineParser& parser)
    {
        parser.finish(sink());
        links_.resolve(out_.entries);
        out_.vmsPath = parser.vmsPath();
    }

private:
    ParsedListing& out_;
    LinkResolver links_;
};

} // namespace

ParsedListing ParseListing(std::string_view descriptor, const CalendarDate& startDate,
                           const std::vector<std::string>& lines)
{
    ParsedListing result;
    result.entries.reserve(lines.size());
    ListingLineParser parser(descriptor, startDate);
    CollectedListing collected(result);
    const ListingLineParser::Sink sink = collected.sink();
    for (const std::string& line : lines)
        parser.addLine(line, sink);
    collected.finish(parser);
    return result;
}

bool ParseListingFile(std::string_view descriptor, const CalendarDate& startDate, const std::string& path,
                      ParsedListing& out)
{
    out = {};
    ListingLineParser parser(descriptor, startDate);
    CollectedListing collected(out);
    const ListingLineParser::Sink sink = collected.sink();
    const bool read = forEachListingLine(path, [&](std::string_view line) { parser.addLine(line, sink); });
    collected.finish(parser);
    out.entries.shrink_to_fit();
    return read;
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
