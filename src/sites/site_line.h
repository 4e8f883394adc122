#pragma once
#include "sites/server_info.h"

#include <string>

namespace brisk {

// One site as a line of the list file: "Key=value;" items. The record's password is plain; the
// line holds it scrambled. A text value is cut at ";" or a line break, as reading would cut it.
std::string SerializeSite(const TFTPServerInfo& site);

// Reads a line written by SerializeSite (or by older versions of the program) into site, starting
// from the defaults; the password comes back plain. False when no item of the line is a known key.
bool ParseSiteLine(const std::string& line, TFTPServerInfo& site, const SiteDefaults& defaults);

} // namespace brisk
