#pragma once
#include "i18n/main_messages.h"
#include "listing/remote_entry.h"
#include "mirror/mirror_plan_input.h"

#include <string>
#include <vector>

namespace brisk {

// A name of one directory that the mirror passes over, and why. Unsafe names and unreadable listing
// lines count as failures; the partial file of an unfinished transfer does not.
struct MirrorRefusal {
    std::string name;
    bool remote = true;   // from the listing, else from the local directory
    MainExtraMessage why = xmsgNotSendable;
    bool counts = true;
};

// Both sides of one directory as the mirror may act on them.
struct MirrorIntake {
    std::vector<RemoteEntry> remote;
    std::vector<MirrorLocalItem> local;
    std::vector<MirrorRefusal> refused;
};

// The temporary name a file is transferred under until it is complete.
std::string MirrorPartialName(const std::string& name);

// Whatever the server lists, only plain names (no "/", CR, LF or NUL, not "." or "..") reach the
// planner, so that nothing is ever addressed outside the directory being mirrored and no command
// is refused for its text; local names that no command could carry are passed over the same way.
// Unreadable listing lines are never acted on. "NAME.part" beside NAME on the other side, without
// a "NAME.part" there, is what an unfinished transfer left: it is neither copied nor deleted.
MirrorIntake TakeMirrorEntries(const std::vector<RemoteEntry>& remote, std::vector<MirrorLocalItem> local);

} // namespace brisk
