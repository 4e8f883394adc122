#pragma once
#include <string>

namespace brisk {

// The directory every file of the program lives in, with a trailing "/":
// $BRISKLANE_HOME, else $XDG_CONFIG_HOME/brisklane/, else ~/.config/brisklane/.
// Created (owner-only, it holds passwords) on first use.
std::string ProgramDir();

// The user's home directory: $HOME, else the account's, else ".".
std::string HomeDirectory();

} // namespace brisk
