#pragma once
#include <string>
#include <string_view>

namespace brisk {

// Permissions as the three octal digits owner, group, public read as a decimal number (755), each
// digit the sum of read 4, write 2 and execute 1. The nine bits are counted in the order the
// attribute column shows them: owner read, write, execute, group ..., public ...
inline constexpr int kModeBitCount = 9;

bool ModeBit(int mode, int bit);
int WithModeBit(int mode, int bit, bool on);
// Three digits 0 to 7: a mode SITE CHMOD may carry.
bool IsFileMode(int mode);
// The mode an attribute column shows ("-rwxr-xr-x" gives 755): characters 2 to 10 in the order
// of the bits, case ignored; an execute position also counts as set for "s" and "t" (set-id and
// sticky with execute), not for "S" and "T". Characters beyond the text count as not set.
int ModeFromAttributes(std::string_view attributes);

} // namespace brisk
