#include "mirror/mirror_record.h"

#include <array>

namespace brisk {

std::string_view MirrorOperationName(TMirrorOperation operation)
{
    static constexpr std::array<std::string_view, 11> names{
        "omNone",   "omGet",    "omPut",    "omMkdLoc", "omMkdFtp", "omRmdLoc",
        "omRmdFtp", "omDelLoc", "omDelFtp", "omDir",    "omDirUp",
    };
    return operation < names.size() ? names[operation] : names[omNone];
}

std::string_view MirrorStateName(TMirrorState state)
{
    static constexpr std::array<std::string_view, 6> names{
        "smNone", "smProgress", "smDirProgress", "smDone", "smStopped", "smError",
    };
    return state < names.size() ? names[state] : names[smNone];
}

} // namespace brisk
