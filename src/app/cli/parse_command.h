#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace brisk {

// `brisklane-cli parse [--type D] [--date-today YYYY-MM-DD] FILE`: parses a saved listing and prints
// one record per line, its seven fields separated by TAB. `args` are the words after "parse".
// Returns 0, or 1 with a message on `err` for a usage error or an unreadable file.
int runParseCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace brisk
