#include "mirror/mirror_planner.h"

#include "mirror/mirror_side.h"

#include <unordered_map>
#include <unordered_set>

namespace brisk {

namespace {


TMirrorRec transfer(TMirrorOperation operation, const std::string& name, int64_t localSize, int64_t remoteSize)
{
    return {name, name, localSize, remoteSize, operation, smNone};
}

TMirrorRec localOnly(TMirrorOperation operation, const std::string& name)
{
    return {name, {}, 0, 0, operation, smNone};
}

TMirrorRec remoteOnly(TMirrorOperation operation, const std::string& name)
{
    return {{}, name, 0, 0, operation, smNone};
}

// Names that neither side acts on: links left alone, from both sides.
std::unordered_set<std::string> heldNames(const MirrorSide& a, const MirrorSide& b)
{
    std::unordered_set<std::string> held(a.links.begin(), a.links.end());
    held.insert(b.links.begin(), b.links.end());
    return held;
}

void dropHeld(MirrorSide& side, const std::unordered_set<std::string>& held)
{
    std::erase_if(side.files, [&](const MirrorFile& file) { return held.count(file.name) != 0; });
    std::erase_if(side.dirs, [&](const std::string& dir) { return held.count(dir) != 0; });
}

// Index of each name in its list; the first of equal names wins.
template <typename T, typename NameOf>
std::unordered_map<std::string, size_t> indexByName(const std::vector<T>& items, NameOf nameOf)
{
    std::unordered_map<std::string, size_t> index;
    for (size_t i = 0; i < items.size(); ++i)
        index.emplace(nameOf(items[i]), i);
    return index;
}

const std::string& fileName(const MirrorFile& file)
{
    return file.name;
}

const std::string& dirName(const std::string& dir)
{
    return dir;
}

// A run that makes the remote side like the local one never enters a remote link to a directory,
// which would write and delete through it on the server: there it is an entry of its own, deleted
// (when it is) as itself. Runs that download from it enter it.
RemoteLinks remoteLinksIn(const TRecMirror& task)
{
    return task.Direction == 0 ? RemoteLinks::AsFiles : RemoteLinks::AsListed;
}

enum class Verdict { Transfer, Keep, Unreadable };

// One directory's planning: both sides, and the operations found so far.
class DirectoryPlan {
public:
    DirectoryPlan(const TRecMirror& task, const MirrorDirectoryInput& input)
        : task_(task), local_(LocalSide(task, input.local)),
          remote_(RemoteSide(task, input.remote, input.today, input.clock, remoteLinksIn(task)))
    {
        const auto held = heldNames(local_, remote_);
        dropHeld(local_, held);
        dropHeld(remote_, held);
        const bool followable = (task.Params & mpIncludeSubfolders) && !(task.Params & mpIgnoreSymbolicLinks);
        for (const MirrorLocalItem& item : input.local)
            if (followable && item.isLink && item.isDirectory && held.count(item.name))
                linkedDirs_.push_back(item.name);
        localFiles_ = indexByName(local_.files, fileName);
        localDirs_ = indexByName(local_.dirs, dirName);
        remoteDirs_ = indexByName(remote_.dirs, dirName);
    }

    MirrorPlan run()
    {
        const bool up = task_.Direction == 0 || task_.Direction == 2;
        const bool down = task_.Direction == 1 || task_.Direction == 2;
        const bool deletes = task_.Params & mpDeleteMissing;
        if (up)
            uploads();
        if (deletes && task_.Direction == 0)
            deleteMissingFiles(remote_.files, localFiles_, omDelFtp);
        if (down)
            downloads();
        if (deletes && task_.Direction == 1)
            deleteMissingFiles(local_.files, indexByName(remote_.files, fileName), omDelLoc);
        refuseLinkedDirectories();
        if (up)
            enterLocalDirectories();
        if (down)
            enterRemoteDirectories();
        if (deletes && task_.Direction == 0)
            deleteMissingDirectories(remote_.dirs, localDirs_, omRmdFtp);
        if (deletes && task_.Direction == 1)
            deleteMissingDirectories(local_.dirs, remoteDirs_, omRmdLoc);
        return std::move(plan_);
    }

private:
    // Whether a source file goes over: always when the target lacks it, else by the policy.
    Verdict verdict(const MirrorFile& source, const MirrorFile* target, bool sourceIsRemote) const
    {
        switch (target ? task_.FileExists : MirrorFileExists::Overwrite) {
        case MirrorFileExists::Overwrite:
        case MirrorFileExists::Ask: return Verdict::Transfer;
        case MirrorFileExists::OverwriteNewest:
            if (!source.stamp.known || !target->stamp.known)
                return Verdict::Unreadable;
            return (sourceIsRemote ? RemoteIsNewer(source.stamp, target->stamp)
                                   : LocalIsNewer(source.stamp, target->stamp))
                       ? Verdict::Transfer
                       : Verdict::Keep;
        default: return Verdict::Keep;
        }
    }

    // With "Mirror both" a remote file settled here is not looked at again by the downloads.
    void uploads()
    {
        std::unordered_map<std::string, size_t> remoteFiles = indexByName(remote_.files, fileName);
        std::unordered_set<std::string> settled;
        for (const MirrorFile& file : local_.files) {
            const auto found = remoteFiles.find(file.name);
            const MirrorFile* target = found == remoteFiles.end() ? nullptr : &remote_.files[found->second];
            const Verdict v = verdict(file, target, false);
            if (v == Verdict::Unreadable)
                plan_.notes.push_back({file.name, MirrorPassOver::UnreadableDate});
            if (v == Verdict::Transfer)
                plan_.records.push_back(transfer(omPut, file.name, file.size, target ? target->size : 0));
            if (target && v != Verdict::Keep)
                settled.insert(file.name);
        }
        if (task_.Direction == 2)
            std::erase_if(remote_.files, [&](const MirrorFile& file) { return settled.count(file.name) != 0; });
    }

    void downloads()
    {
        for (const MirrorFile& file : remote_.files) {
            const auto found = localFiles_.find(file.name);
            const MirrorFile* target = found == localFiles_.end() ? nullptr : &local_.files[found->second];
            const Verdict v = verdict(file, target, true);
            if (v == Verdict::Unreadable)
                plan_.notes.push_back({file.name, MirrorPassOver::UnreadableDate});
            else if (v == Verdict::Transfer && target && target->isLink)
                refuse(transfer(omGet, file.name, target->size, file.size), MirrorPassOver::TargetIsLink);
            else if (v == Verdict::Transfer)
                plan_.records.push_back(transfer(omGet, file.name, target ? target->size : 0, file.size));
        }
    }

    void deleteMissingFiles(const std::vector<MirrorFile>& target,
                            const std::unordered_map<std::string, size_t>& source, TMirrorOperation operation)
    {
        for (const MirrorFile& file : target)
            if (!source.count(file.name))
                plan_.records.push_back(operation == omDelFtp ? remoteOnly(operation, file.name)
                                                              : localOnly(operation, file.name));
    }

    void deleteMissingDirectories(const std::vector<std::string>& target,
                                  const std::unordered_map<std::string, size_t>& source, TMirrorOperation operation)
    {
        for (const std::string& dir : target)
            if (!source.count(dir))
                plan_.records.push_back(operation == omRmdFtp ? remoteOnly(operation, dir) : localOnly(operation, dir));
    }

    // What the task asks for but a link prevents is a failure, named and counted.
    void refuse(TMirrorRec rec, MirrorPassOver why)
    {
        plan_.notes.push_back({rec.LocalName, why});
        rec.State = smError;
        plan_.records.push_back(std::move(rec));
    }

    // A local link to a directory is never entered: the directory is not mirrored either way.
    void refuseLinkedDirectories()
    {
        for (const std::string& dir : linkedDirs_)
            refuse(transfer(omDir, dir, 0, 0), MirrorPassOver::LinkNotFollowed);
    }

    void enterLocalDirectories()
    {
        for (const std::string& dir : local_.dirs) {
            if (!remoteDirs_.count(dir))
                plan_.records.push_back(remoteOnly(omMkdFtp, dir));
            enter(dir);
        }
    }

    // With "Mirror both" the directories both sides have were entered from the local side.
    void enterRemoteDirectories()
    {
        for (const std::string& dir : remote_.dirs) {
            const bool shared = localDirs_.count(dir) != 0;
            if (shared && task_.Direction == 2)
                continue;
            if (!shared)
                plan_.records.push_back(localOnly(omMkdLoc, dir));
            enter(dir);
        }
    }

    void enter(const std::string& dir)
    {
        plan_.records.push_back(transfer(omDir, dir, 0, 0));
        plan_.records.push_back(transfer(omDirUp, dir, 0, 0));
    }

    const TRecMirror& task_;
    MirrorSide local_;
    MirrorSide remote_;
    std::unordered_map<std::string, size_t> localFiles_;
    std::unordered_map<std::string, size_t> localDirs_;
    std::unordered_map<std::string, size_t> remoteDirs_;
    std::vector<std::string> linkedDirs_;
    MirrorPlan plan_;
};

} // namespace

MirrorPlan PlanDirectory(const TRecMirror& task, const MirrorDirectoryInput& input)
{
    return DirectoryPlan(task, input).run();
}

std::vector<TMirrorRec> PlanRemoteRemoval(const TRecMirror& task, const std::vector<RemoteEntry>& remote)
{
    TRecMirror everything = task;
    everything.Params |= mpIncludeSubfolders;
    const MirrorSide side = RemoteSide(everything, remote, {}, {}, RemoteLinks::AsFiles);
    std::vector<TMirrorRec> plan;
    for (const MirrorFile& file : side.files)
        plan.push_back(remoteOnly(omDelFtp, file.name));
    for (const std::string& dir : side.dirs)
        plan.push_back(remoteOnly(omRmdFtp, dir));
    return plan;
}

} // namespace brisk
