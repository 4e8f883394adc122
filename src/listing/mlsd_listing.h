#pragma once
#include "listing/listing_parser.h"
#include "listing/remote_entry.h"

#include <optional>
#include <string>
#include <string_view>

namespace brisk {

// One line of a machine-readable listing (MLSD): "fact=value;fact=value; name". The entry comes out
// as the automatic parser makes it of a Unix listing line: the kind from the type fact (a symbolic
// link counts as a directory, as in a listing whose link target is not listed), the exact size, and
// the UTC time of the modify fact turned into local time, to the second. Nothing for the directory's
// own entries (cdir, pdir), for "." and "..", for a line without the blank before the name, and for a
// name that holds "/" or a control byte.
std::optional<RemoteEntry> ParseMlsdLine(std::string_view line);

// Every entry of an MLSD listing file, sorted by name; names beginning with "." only when `showHidden`, as a plain
// listing without -a shows them. False when the file cannot be read to its end.
bool ParseMlsdFile(const std::string& path, bool showHidden, ParsedListing& out);

} // namespace brisk
