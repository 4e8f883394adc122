#include "mirror/mirror_planner.h"

#include "mirror/mirror_side.h"

namespace brisk {

namespace {

enum FileExistsPolicy : uint8_t { feOverwrite, feNewest, feSkip, feAsk };

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

// One directory's planning: both sides, and the operations found so far.
class DirectoryPlan {
public:
    DirectoryPlan(const TRecMirror& task, const MirrorDirectoryInput& input)
        : task_(task), local_(LocalSide(task, input.local)), remote_(RemoteSide(task, input.remote, input.today))
    {
    }

    std::vector<TMirrorRec> run()
    {
        const bool up = task_.Direction == 0 || task_.Direction == 2;
        const bool down = task_.Direction == 1 || task_.Direction == 2;
        const bool deletes = task_.Params & mpDeleteMissing;
        if (up)
            uploads();
        if (deletes && task_.Direction == 0)
            deleteMissingFiles(remote_.files, local_.files, omDelFtp);
        if (down)
            downloads();
        if (deletes && task_.Direction == 1)
            deleteMissingFiles(local_.files, remote_.files, omDelLoc);
        if (up)
            enterLocalDirectories();
        if (down)
            enterRemoteDirectories();
        if (deletes && task_.Direction == 0)
            deleteMissingDirectories(remote_.dirs, local_.dirs, omRmdFtp);
        if (deletes && task_.Direction == 1)
            deleteMissingDirectories(local_.dirs, remote_.dirs, omRmdLoc);
        return std::move(plan_);
    }

private:
    // Whether a source file goes over: always when the target lacks it, else by the policy. Times
    // compare at the precision of the remote one's listing.
    bool transfers(const MirrorFile& source, const MirrorFile* target, bool sourceIsRemote) const
    {
        switch (target ? task_.FileExists : uint8_t(feOverwrite)) {
        case feOverwrite:
        case feAsk: return true;
        case feNewest:
            return LaterAt(source.stamp, target->stamp, (sourceIsRemote ? source : *target).stamp.precision);
        default: return false;
        }
    }

    void uploads()
    {
        for (const MirrorFile& file : local_.files) {
            const int i = FindNoCase(remote_.files, file.name);
            const MirrorFile* target = i < 0 ? nullptr : &remote_.files[size_t(i)];
            if (!transfers(file, target, false))
                continue;
            plan_.push_back(transfer(omPut, file.name, file.size, target ? target->size : 0));
            if (target && task_.Direction == 2)
                remote_.files.erase(remote_.files.begin() + i);
        }
    }

    void downloads()
    {
        for (const MirrorFile& file : remote_.files) {
            const int i = FindNoCase(local_.files, file.name);
            const MirrorFile* target = i < 0 ? nullptr : &local_.files[size_t(i)];
            if (transfers(file, target, true))
                plan_.push_back(transfer(omGet, file.name, target ? target->size : 0, file.size));
        }
    }

    void deleteMissingFiles(const std::vector<MirrorFile>& target, const std::vector<MirrorFile>& source,
                            TMirrorOperation operation)
    {
        for (const MirrorFile& file : target)
            if (FindNoCase(source, file.name) < 0)
                plan_.push_back(operation == omDelFtp ? remoteOnly(operation, file.name) : localOnly(operation, file.name));
    }

    void deleteMissingDirectories(const std::vector<std::string>& target, const std::vector<std::string>& source,
                                  TMirrorOperation operation)
    {
        for (const std::string& dir : target)
            if (FindNoCase(source, dir) < 0)
                plan_.push_back(operation == omRmdFtp ? remoteOnly(operation, dir) : localOnly(operation, dir));
    }

    void enterLocalDirectories()
    {
        for (const std::string& dir : local_.dirs) {
            const int i = FindNoCase(remote_.dirs, dir);
            if (i < 0)
                plan_.push_back(remoteOnly(omMkdFtp, dir));
            else if (task_.Direction == 2)
                remote_.dirs.erase(remote_.dirs.begin() + i);
            enter(dir);
        }
    }

    void enterRemoteDirectories()
    {
        for (const std::string& dir : remote_.dirs) {
            if (FindNoCase(local_.dirs, dir) < 0)
                plan_.push_back(localOnly(omMkdLoc, dir));
            enter(dir);
        }
    }

    void enter(const std::string& dir)
    {
        plan_.push_back(transfer(omDir, dir, 0, 0));
        plan_.push_back(transfer(omDirUp, dir, 0, 0));
    }

    const TRecMirror& task_;
    MirrorSide local_;
    MirrorSide remote_;
    std::vector<TMirrorRec> plan_;
};

} // namespace

std::vector<TMirrorRec> PlanDirectory(const TRecMirror& task, const MirrorDirectoryInput& input)
{
    return DirectoryPlan(task, input).run();
}

std::vector<TMirrorRec> PlanRemoteRemoval(const TRecMirror& task, const std::vector<RemoteEntry>& remote)
{
    TRecMirror everything = task;
    everything.Params |= mpIncludeSubfolders;
    const MirrorSide side = RemoteSide(everything, remote, {}, RemoteLinks::AsFiles);
    std::vector<TMirrorRec> plan;
    for (const MirrorFile& file : side.files)
        plan.push_back(remoteOnly(omDelFtp, file.name));
    for (const std::string& dir : side.dirs)
        plan.push_back(remoteOnly(omRmdFtp, dir));
    return plan;
}

} // namespace brisk
