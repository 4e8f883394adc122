#pragma once
#include "mirror/mirror_operation_list.h"
#include "mirror/mirror_state_file.h"

#include <string>

namespace brisk {

// One mirror run: its roots, where it stands below them, and the operation list. Local paths use
// "/" like every local path of the program; a backslash is a name character there.
class TMirrorRun {
public:
    TMirrorRun(std::string host, std::string localRoot, std::string remoteRoot);

    std::string Host;
    std::string LocalRoot;
    std::string RemoteRoot;
    std::string LocalSub;
    std::string RemoteSub;
    bool Stopped = false;
    int Current = 0;
    MirrorOperationList Items;

    void Stop() { Stopped = true; }
    void Resume() { Stopped = false; }

    // The first record not yet started, from the top; records in progress that are passed count as
    // done. False with index -1 when stopped or when none is left.
    bool FindNext(int& index);

    // The current operation succeeded.
    void MarkDone();
    // The current operation failed. A failed "omDirUp" leaves the run lost, so it stops; after a
    // failed "omMkdFtp" or "omDir" the "omDir" and "omDirUp" records that follow directly are
    // skipped as failed, so the directory is neither entered nor left.
    void MarkFailed();

    void SetLocalSub(const std::string& sub);
    void SetRemoteSub(const std::string& sub);
    // Both sub-paths from the engine's remote directory: its text past the remote root.
    void FollowRemoteDir(const std::string& hostDirName);
    std::string LocalPath() const;
    std::string RemotePath() const;

    MirrorStateHeader StateHeader() const;
    // The state file in the program's directory; false when it cannot be written.
    bool SaveState() const;

private:
    void setState(int index, TMirrorState state);
};

} // namespace brisk
