#include "listing/listing_rules.h"

#include "listing/entry_local_time.h"
#include "listing/text_util.h"

namespace brisk {

namespace {

struct EplfFacts {
    bool directory = false;
    bool retrievable = false;
    std::string_view size;
    bool sizeGiven = false;
    int64_t modified = 0;  // -1 for a time that is no number
};

// Facts are separated by ","; unknown ones are ignored, as the format asks. False for a size or time
// that is no number.
bool readEplfFacts(std::string_view facts, EplfFacts& out)
{
    while (!facts.empty()) {
        const size_t comma = facts.find(',');
        const std::string_view fact = facts.substr(0, comma);
        facts = comma == std::string_view::npos ? std::string_view{} : facts.substr(comma + 1);
        if (fact == "/")
            out.directory = true;
        else if (fact == "r")
            out.retrievable = true;
        else if (fact.starts_with('s')) {
            out.size = fact.substr(1);
            out.sizeGiven = true;
        } else if (fact.starts_with('m')) {
            out.modified = decimalValue(fact.substr(1)).value_or(-1);
        }
    }
    return (!out.sizeGiven || decimalValue(out.size)) && out.modified >= 0;
}

} // namespace

bool IsEplfLine(std::string_view line)
{
    return line.starts_with('+');
}

// "+facts\tname": the name is every byte after the TAB. An entry that is neither a directory nor a
// file that can be fetched is nothing any command could act on.
void applyEplfRule(std::string_view line, RemoteEntry& entry)
{
    const size_t tab = line.find('\t');
    EplfFacts facts;
    if (tab == std::string_view::npos || tab + 1 == line.size() || !readEplfFacts(line.substr(1, tab - 1), facts) ||
        (!facts.directory && !facts.retrievable)) {
        entry.unreadable = true;
        return;
    }
    entry.name = line.substr(tab + 1);
    entry.isDirectory = facts.directory;
    if (!facts.directory)
        entry.size = facts.size;
    if (facts.modified > 0)
        SetEntryLocalTime(facts.modified, entry);
}

} // namespace brisk
