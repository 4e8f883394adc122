#include "app/cli/parse_command.h"

#include "listing/calendar_date.h"
#include "listing/listing_parser.h"
#include "listing/text_util.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

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

std::optional<std::string> readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream data;
    data << in.rdbuf();
    if (in.bad())
        return std::nullopt;
    return std::move(data).str();
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
    const auto data = readFile(options.file);
    if (!data) {
        err << "parse: cannot read " << options.file << '\n';
        return 1;
    }
    const ParsedListing listing = ParseListing(options.descriptor, options.today.value_or(localToday()),
                                               splitListingLines(*data));
    for (const RemoteEntry& entry : listing.entries)
        out << formatEntryTabbed(entry) << '\n';
    return 0;
}

} // namespace brisk
