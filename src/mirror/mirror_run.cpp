#include "mirror/mirror_run.h"

#include "mirror/mirror_sub_path.h"
#include "platform/program_dir.h"

#include <algorithm>

namespace brisk {

TMirrorRun::TMirrorRun(std::string host, std::string localRoot, std::string remoteRoot)
    : Host(std::move(host)), LocalRoot(std::move(localRoot)), RemoteRoot(std::move(remoteRoot))
{
    SetLocalSub({});
    SetRemoteSub({});
}

bool TMirrorRun::FindNext(int& index)
{
    index = -1;
    if (Stopped)
        return false;
    int i = Items.settledPrefix();
    for (; i < Items.Count(); ++i) {
        Items.countVisit();
        const TMirrorState state = Items.at(i).State;
        if (state == smNone) {
            Items.settleTo(i);
            index = i;
            return true;
        }
        if (state == smProgress)
            Items.setState(i, smDone);
    }
    Items.settleTo(i);
    return false;
}

void TMirrorRun::MarkDone()
{
    Items.setState(Current, smDone);
}

void TMirrorRun::MarkFailed()
{
    TMirrorRec rec;
    if (!Items.GetItem(Current, rec))
        return;
    Items.setState(Current, smError);
    switch (rec.Operation) {
    case omDirUp:
        return Stop();
    case omMkdFtp:
        return skipDirectory(Current + 1, rec.RemoteName);
    case omMkdLoc:
        return skipDirectory(Current + 1, rec.LocalName);
    case omDir:
        return skipDirectory(Current, rec.RemoteName);
    default:
        return;
    }
}

void TMirrorRun::MarkUnlisted()
{
    TMirrorRec rec;
    if (!Items.GetItem(Current, rec))
        return;
    Items.setState(Current, smError);
    if (rec.Operation == omRmdFtp)
        Items.Insert(Current, TMirrorRec{rec.RemoteName, rec.RemoteName, 0, 0, omDirUp, smNone});
}

void TMirrorRun::skipDirectory(int index, const std::string& name)
{
    if (!isStep(index, omDir, name))
        return;
    Items.setState(index, smError);
    if (isStep(index + 1, omDirUp, name))
        Items.setState(index + 1, smError);
}

bool TMirrorRun::isStep(int index, TMirrorOperation operation, const std::string& name) const
{
    TMirrorRec rec;
    return Items.GetItem(index, rec) && rec.Operation == operation && rec.RemoteName == name;
}

void TMirrorRun::SetLocalSub(const std::string& sub)
{
    LocalSub = MirrorSubPath(LocalRoot, sub);
}

void TMirrorRun::SetRemoteSub(const std::string& sub)
{
    std::string slashed = sub;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    RemoteSub = MirrorSubPath(RemoteRoot, std::move(slashed));
}

void TMirrorRun::FollowRemoteDir(const std::string& hostDirName)
{
    SetRemoteSub(hostDirName.size() > RemoteRoot.size() ? hostDirName.substr(RemoteRoot.size()) : std::string{});
    SetLocalSub(RemoteSub);
}

std::string TMirrorRun::LocalPath() const
{
    return MirrorJoinPath(LocalRoot, LocalSub);
}

std::string TMirrorRun::RemotePath() const
{
    return MirrorJoinPath(RemoteRoot, RemoteSub);
}

MirrorStateHeader TMirrorRun::StateHeader() const
{
    return {Host, LocalRoot, RemoteRoot, LocalSub, RemoteSub, Stopped};
}

bool TMirrorRun::SaveState() const
{
    return WriteMirrorState(ProgramDir() + kMirrorStateFileName, StateHeader(), Items.items());
}

} // namespace brisk
