#pragma once
#include "i18n/main_messages.h"
#include "listing/remote_entry.h"

#include <string>

namespace brisk {

// A name from a listing or from the panel that a chain may send in a command: not empty, not "."
// or "..", without "/" (which would leave the directory) and without CR, LF or NUL.
bool IsPlainEntryName(const std::string& name);
// What a chain does with an entry of a listing: acts on it; passes over "." and ".." (the
// directory itself and its parent) as skipped; or refuses, as failed, a line that could not be read
// and a name that could leave the directory or break a command (`badName` says why).
enum class EntryVerdict { Usable, Skipped, Refused };
struct EntryCheck {
    EntryVerdict verdict = EntryVerdict::Usable;
    MainExtraMessage why = xmsgNotDeletable;
};
EntryCheck CheckListedEntry(const RemoteEntry& entry, MainExtraMessage badName);
// A symbolic link by its attribute column ("l..."); a chain removes it and never enters it.
bool IsSymbolicLink(const std::string& attributes);
// The name as a log line may show it: control bytes replaced by "?".
std::string PrintableName(const std::string& name);
// The log line of a name passed over: "Skipped "NAME": WHY", with "in DIR" when it was listed there.
std::string SkippedText(const MainMessages& msl, const std::string& name, MainExtraMessage why);
// The closing line naming one failure: "Failed: NAME".
std::string FailedText(const MainMessages& msl, const std::string& name);
std::string SkippedText(const MainMessages& msl, const std::string& name, const std::string& dir,
                        MainExtraMessage why);

} // namespace brisk
