#pragma once
#include "listing/listing_parser.h"
#include "listing/remote_entry.h"

#include <optional>
#include <string>
#include <string_view>

namespace brisk {

// One line of a machine-readable listing (MLSD): "fact=value;fact=value; name". The entry comes out
// as the automatic parser makes it of a Unix listing line: the kind from the type fact, the exact
// size, and the UTC time of the modify fact turned into local time, to the second. A link type
// ("OS.unix=slink:/target", "OS.unix=symlink") makes a link of unknown kind, attributes "l...", with
// the target when given. The name is every byte after "; ", whatever it holds ("/", control bytes,
// "..": the callers refuse such names and say so). Nothing for a blank line and for the directory's
// own entries (cdir, pdir, a dir named "." or ".."); an entry marked unreadable holding the line for
// a line without a name.
std::optional<RemoteEntry> ParseMlsdLine(std::string_view line);

// Every entry of an MLSD listing file, sorted by name; names beginning with "." only when `showHidden`, as a plain
// listing without -a shows them. Links to entries of the same listing (named by the link's target, or
// of the link's unique fact) take their kind. False when the file cannot be read to its end.
bool ParseMlsdFile(const std::string& path, bool showHidden, ParsedListing& out);

} // namespace brisk
