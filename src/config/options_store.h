#pragma once
#include "config/ftp_options.h"

#include <string>

namespace brisk {

// "options.ftp" in ProgramDir.
std::string OptionsFilePath();

// ProgramDir + "FTPDIR<process id>.TXT": the listing file of this instance.
std::string MakeListingTempFile();

// Reads the options file; every missing key takes its default, fonts default to what they hold
// on entry. A missing or unreadable file gives all defaults.
void LoadOptions(TFTPOptions& options, TLang& lang, ListFonts& fonts);

// Writes every key; other sections and keys of the file ("Layouts" among them) are kept.
// Throws IniWriteError ("Unable to write to <path>") when the file cannot be written.
void SaveOptions(const TFTPOptions& options, const TLang& lang, const ListFonts& fonts);

} // namespace brisk
