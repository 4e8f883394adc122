#pragma once
#include "mirror/mirror_operation_list.h"
#include "mirror/mirror_state_file.h"

#include <string>
#include <vector>

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
    // What failed or was passed over as unsafe, by its path below the roots and why, in order.
    std::vector<std::string> Failed;

    void Stop() { Stopped = true; }
    void Resume() { Stopped = false; }

    // The first record not yet started, from the top; records in progress that are passed count as
    // done. False with index -1 when stopped or when none is left. The settled records at the top
    // are not walked again.
    bool FindNext(int& index);

    // The current operation succeeded.
    void MarkDone();
    // The current operation failed where it was started. Only what depends on it is skipped as
    // failed: a directory that could not be created (on either side) or entered is neither entered
    // nor left; its siblings stay as planned. A failed "omDirUp" leaves the run lost, so it stops.
    void MarkFailed();
    // The directory that the current "omDir" or "omRmdFtp" entered could not be listed: it fails,
    // nothing below it is planned, and the run leaves it again (its own "omDirUp", or one put before
    // the removal).
    void MarkUnlisted();

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
    // The "omDir" at `index` and its "omDirUp" after it, when they are the directory `name`'s.
    void skipDirectory(int index, const std::string& name);
    bool isStep(int index, TMirrorOperation operation, const std::string& name) const;
};

} // namespace brisk
