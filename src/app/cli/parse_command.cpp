#include "app/cli/parse_command.h"

#include "listing/calendar_date.h"
#include "listing/listing_parser.h"
#include "listing/text_util.h"

#include "listing/listing_file_lines.h"
#include "platform/ascii.h"

#include <optional>
#include <ostream>
#include <unordered_map>

namespace brisk {

namespace {

constexpr const char* kUsage = "usage: brisklane-cli parse [--type D] [--date-today YYYY-MM-DD] FILE\n";
constexpr const char* kDefaultDescriptor = "0957681";
constexpr size_t kMaxDescriptorLength = 7;

struct ParseOptions {
    std::string descriptor = kDefaultDescriptor;
    std::optional<CalendarDate> today;
    std::string file;
};

std::optional<CalendarDate> isoDate(std::string_view text)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    const auto year = decimalValue(text.substr(0, 4));
    const auto month = decimalValue(text.substr(5, 2));
    const auto day = decimalValue(text.substr(8, 2));
    if (!year || !month || !day)
        return std::nullopt;
    const CalendarDate date{int(*year), int(*month), int(*day)};
    return isValidDate(date) ? std::optional(date) : std::nullopt;
}

// Fills `options` from `args`; returns an error message, empty on success.
std::string readOptions(const std::vector<std::string>& args, ParseOptions& options)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool takesValue = arg == "--type" || arg == "--date-today";
        if (takesValue && i + 1 == args.size())
            return "missing value for " + arg;
        if (arg == "--type") {
            options.descriptor = args[++i];
            if (options.descriptor.empty() || options.descriptor.size() > kMaxDescriptorLength)
                return "response type must have 1 to 7 characters: " + options.descriptor;
        } else if (arg == "--date-today") {
            options.today = isoDate(args[++i]);
            if (!options.today)
                return "not a date (YYYY-MM-DD): " + args[i];
        } else if (arg.starts_with("--")) {
            return "unknown option: " + arg;
        } else if (!options.file.empty()) {
            return "more than one file given: " + arg;
        } else {
            options.file = arg;
        }
    }
    return options.file.empty() ? "no listing file given" : "";
}

// The first pass: the targets of all links, each waiting for the kind of the first entry of that
// name. Memory grows with the links of the listing, never with its other lines.
using LinkTargets = std::unordered_map<std::string, std::optional<bool>>;

bool collectLinkTargets(const ParseOptions& options, const CalendarDate& today, LinkTargets& targets)
{
    ListingLineParser parser(options.descriptor, today);
    const ListingLineParser::Sink sink = [&](RemoteEntry& entry, bool pendingLink) {
        if (pendingLink)
            targets.try_emplace(lowerAscii(entry.link));
    };
    const bool read = forEachListingLine(options.file, [&](std::string_view line) { parser.addLine(line, sink); });
    parser.finish(sink);
    return read;
}

// The second pass prints each entry as soon as it is parsed: a link takes the kind of the first
// earlier entry named like its target, as in the parse of a whole listing.
bool printEntries(const ParseOptions& options, const CalendarDate& today, LinkTargets& targets, std::ostream& out)
{
    ListingLineParser parser(options.descriptor, today);
    const ListingLineParser::Sink sink = [&](RemoteEntry& entry, bool pendingLink) {
        if (entry.link.empty() && !targets.empty()) {
            const auto found = targets.find(lowerAscii(entry.name));
            if (found != targets.end() && !found->second)
                found->second = entry.isDirectory;
        }
        if (pendingLink) {
            const std::optional<bool>& kind = targets[lowerAscii(entry.link)];
            entry.isDirectory = kind.value_or(true);
            if (entry.isDirectory)
                entry.size.clear();
        }
        out << formatEntryTabbed(entry) << '\n';
    };
    const bool read = forEachListingLine(options.file, [&](std::string_view line) { parser.addLine(line, sink); });
    parser.finish(sink);
    return read;
}

} // namespace

int runParseCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    ParseOptions options;
    const std::string problem = readOptions(args, options);
    if (!problem.empty()) {
        err << "parse: " << problem << '\n' << kUsage;
        return 1;
    }
    const CalendarDate today = options.today.value_or(localToday());
    LinkTargets targets;
    if (!collectLinkTargets(options, today, targets) || !printEntries(options, today, targets, out)) {
        err << "parse: cannot read " << options.file << '\n';
        return 1;
    }
    return 0;
}

} // namespace brisk
