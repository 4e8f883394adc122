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
    TMirrorRec rec;
    for (int i = 0; Items.GetItem(i, rec); ++i) {
        if (rec.State == smNone) {
            index = i;
            return true;
        }
        if (rec.State == smProgress) {
            rec.State = smDone;
            Items.PutItem(i, rec);
        }
    }
    return false;
}

void TMirrorRun::MarkDone()
{
    setState(Current, smDone);
}

void TMirrorRun::MarkFailed()
{
    TMirrorRec rec;
    if (!Items.GetItem(Current, rec))
        return;
    setState(Current, smError);
    if (rec.Operation == omDirUp)
        Stop();
    if (rec.Operation != omMkdFtp && rec.Operation != omDir)
        return;
    while (Items.GetItem(Current + 1, rec) && (rec.Operation == omDir || rec.Operation == omDirUp))
        setState(++Current, smError);
}

void TMirrorRun::setState(int index, TMirrorState state)
{
    TMirrorRec rec;
    if (!Items.GetItem(index, rec))
        return;
    rec.State = state;
    Items.PutItem(index, rec);
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
