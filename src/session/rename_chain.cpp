#include "session/session_controller.h"

#include "listing/file_panel.h"

namespace brisk {

// One RNFR/RNTO pair per queued name; the listing is refreshed after the last.
void SessionController::renameDone()
{
    if (FileQueue.empty()) {
        Ftp1.HostFileName = Ftp1.HostDirName;
        Ftp1.LocalFileName = options_.ListingTempFile;
        Ftp1.TypeAscii();
        Ftp1.DirAsync();
        return;
    }
    Ftp1.HostFileName = FileQueue.front();
    Ftp1.LocalFileName = TargetQueue.front();
    FileQueue.pop_front();
    TargetQueue.pop_front();
    Ftp1.RenAsync();
}

void SessionController::ChangeCaseRemote(int mode)
{
    if (SiteListMode_)
        return;
    FileQueue.clear();
    TargetQueue.clear();
    for (size_t index : remote.panel.selectedIndices()) {
        const std::string& caption = remote.panel.rows()[index].caption;
        FileQueue.push_back(caption);
        TargetQueue.push_back(ChangeNameCase(caption, mode));
    }
    if (FileQueue.empty() || Ftp1.State() != fsReady)
        return;
    renameDone();
}

} // namespace brisk
