#include "app/cli/parse_command.h"

#include "listing/calendar_date.h"
#include "listing/link_resolver.h"
#include "listing/listing_parser.h"
#include "listing/text_util.h"

#include "listing/listing_file_lines.h"
#include "platform/ascii.h"

#include <optional>
#include <ostream>

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

// Runs the parser over the file once, handing every entry to `onEntry`.
bool forEachEntry(const ParseOptions& options, const CalendarDate& today, const ListingLineParser::Sink& onEntry)
{
    ListingLineParser parser(options.descriptor, today);
    const bool read = forEachListingLine(options.file, [&](std::string_view line) { parser.addLine(line, onEntry); });
    parser.finish(onEntry);
    return read;
}

// Two passes learn what the links point to (their targets, then the entries of those names), so memory
// grows with the links of the listing, never with its other lines; the third prints each entry as soon
// as it is parsed, links settled as in the parse of a whole listing.
bool printEntries(const ParseOptions& options, const CalendarDate& today, std::ostream& out)
{
    LinkTargets targets;
    if (!forEachEntry(options, today, [&](RemoteEntry& entry, bool pendingLink) {
            if (pendingLink)
                targets.want(entry.link);
        }))
        return false;
    if (!targets.empty() && !forEachEntry(options, today, [&](RemoteEntry& entry, bool) {
            if (IsLinkTargetCandidate(entry))
                targets.learn(entry.name, entry.isDirectory, entry.size);
        }))
        return false;
    return forEachEntry(options, today, [&](RemoteEntry& entry, bool pendingLink) {
        if (pendingLink)
            targets.settle(entry);
        out << formatEntryTabbed(entry) << '\n';
    });
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
    if (!printEntries(options, today, out)) {
        err << "parse: cannot read " << options.file << '\n';
        return 1;
    }
    return 0;
}

} // namespace brisk
