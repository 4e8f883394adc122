#include "mirror/mirror_intake.h"

#include "session/entry_names.h"

#include <unordered_set>

namespace brisk {

namespace {

constexpr std::string_view kPartialSuffix = ".part";

// The names of one side's plain files.
class FileNames {
public:
    void add(const std::string& name) { names_.insert(name); }
    bool has(const std::string& name) const { return names_.count(name) != 0; }
    // `name`, listed on the other side, is "X.part" and this side has X but not "X.part".
    bool leftoverFor(const std::string& name) const
    {
        return name.ends_with(kPartialSuffix) && !has(name) &&
               has(name.substr(0, name.size() - kPartialSuffix.size()));
    }

private:
    std::unordered_set<std::string> names_;
};

} // namespace

std::string MirrorPartialName(const std::string& name)
{
    return name + std::string(kPartialSuffix);
}

MirrorIntake TakeMirrorEntries(const std::vector<RemoteEntry>& remote, std::vector<MirrorLocalItem> local)
{
    MirrorIntake intake;
    FileNames remoteFiles, localFiles;
    for (const RemoteEntry& entry : remote) {
        if (entry.unreadable)
            intake.refused.push_back({entry.name, true, xmsgUnreadableLine});
        else if (!IsPlainEntryName(entry.name))
            intake.refused.push_back({entry.name, true, xmsgNotSendable});
        else {
            intake.remote.push_back(entry);
            if (!entry.isDirectory)
                remoteFiles.add(entry.name);
        }
    }
    for (MirrorLocalItem& item : local) {
        if (!IsPlainEntryName(item.name))
            intake.refused.push_back({item.name, false, xmsgNotSendable});
        else {
            if (!item.isDirectory)
                localFiles.add(item.name);
            intake.local.push_back(std::move(item));
        }
    }
    std::erase_if(intake.remote, [&](const RemoteEntry& entry) {
        const bool leftover = !entry.isDirectory && localFiles.leftoverFor(entry.name);
        if (leftover)
            intake.refused.push_back({entry.name, true, xmsgPartialFile, false});
        return leftover;
    });
    std::erase_if(intake.local, [&](const MirrorLocalItem& item) {
        const bool leftover = !item.isDirectory && remoteFiles.leftoverFor(item.name);
        if (leftover)
            intake.refused.push_back({item.name, false, xmsgPartialFile, false});
        return leftover;
    });
    return intake;
}

} // namespace brisk
