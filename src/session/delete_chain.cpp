#include "session/session_controller.h"

#include "listing/listing_parser.h"
#include "platform/ascii.h"
#include "session/remote_paths.h"

#include <cstdio>

namespace brisk {

// The listing of a directory being deleted: its files are deleted next, its directories visited later.
void SessionController::deleteScan()
{
    if (abortMark_) {
        removeListingFile();
        OperationFlags_.remove(ofDeleteScan);
        DirsToScan.clear();
        FileQueue.clear();
        return;
    }
    ParsedListing parsed;
    ParseListingFile(CurrentSite_.Answer, StartDate_, options_.ListingTempFile, parsed);
    removeListingFile();
    for (const RemoteEntry& entry : parsed.entries) {
        // A name with "/" in it would step outside the directory being deleted.
        if (entry.name.find('/') != std::string::npos)
            continue;
        if (entry.isDirectory)
            DirsToScan.push_back(WithSlash(Ftp1.HostDirName) + entry.name);
        else
            FileQueue.push_back(entry.name);
    }
}

// The removal step: directories come off PairedDirs last-in first-out.
void SessionController::rmdDone()
{
    Ftp1.TypeAscii();
    if (OperationFlags_.has(ofMirrorRun))
        return postMirrorMessage(1, 0);
    OperationFlags_.assign(ofDeleteRemove, !PairedDirs.empty());
    if (PairedDirs.empty()) {
        Ftp1.HostDirName = BaseRemoteDir_;
        Ftp1.LocalFileName = options_.ListingTempFile;
        Ftp1.CwdAsync();
        return;
    }
    const std::string last = PairedDirs.back();
    if (responseType() == 8 && last == Ftp1.HostDirName) {
        Ftp1.HostDirName = ParentDir(last);
        PairedDirs.back() = LastComponent(last);
        Ftp1.LocalFileName = options_.ListingTempFile;
        Ftp1.CwdAsync();
        return;
    }
    if (Ftp1.HostDirName != last) {
        Ftp1.HostFileName = last;
        PairedDirs.pop_back();
        Ftp1.RmdAsync();
        return;
    }
    const std::string trimmedLast = trimmed(last);
    Ftp1.HostDirName = trimmedLast.find('/') == std::string::npos ? BaseRemoteDir_ : ParentDir(trimmedLast);
    Ftp1.CDupAsync();
}

// The file step: files of the current directory first, then the next directory to list.
void SessionController::deleDone()
{
    if (OperationFlags_.has(ofMirrorRun))
        return postMirrorMessage(2, 0);
    if (Ftp1.Binary) {
        Ftp1.Binary = false;
        Ftp1.TypeSet();
    }
    if (!FileQueue.empty()) {
        Ftp1.HostFileName = FileQueue.front();
        FileQueue.pop_front();
        Ftp1.DeleAsync();
        return;
    }
    OperationFlags_.assign(ofDeleteScan, !DirsToScan.empty());
    if (DirsToScan.empty() && !PairedDirs.empty())
        return rmdDone();
    if (OperationFlags_.has(ofDeleteScan)) {
        Ftp1.HostDirName = DirsToScan.front();
        PairedDirs.push_back(DirsToScan.front());
        DirsToScan.pop_front();
    } else {
        Ftp1.HostDirName = BaseRemoteDir_;
    }
    Ftp1.LocalFileName = options_.ListingTempFile;
    Ftp1.CwdAsync();
}

} // namespace brisk

namespace brisk {

// Deletes the selected files, then every selected directory with all it holds.
void SessionController::DeleteRemote()
{
    const std::vector<size_t> selected = remote.panel.selectedIndices();
    if (SiteListMode_ || NavigationBusy_ || selected.empty() || Ftp1.State() != fsReady)
        return;
    if (!ui_.AskYesNo(msl[msgAttention], msl[msgWishToRemove]))
        return;
    DirsToScan.clear();
    PairedDirs.clear();
    FileQueue.clear();
    TargetQueue.clear();
    BaseRemoteDir_ = RemoteDirRule(Ftp1.HostDirName, CurrentSite_.CheckVHost != 0);
    for (size_t index : selected) {
        const PanelRow& row = remote.panel.rows()[index];
        if (row.image == kImageFile)
            FileQueue.push_back(row.caption);
        else if (row.caption != ".." && row.caption.find('/') == std::string::npos)
            DirsToScan.push_back(BaseRemoteDir_ + row.caption);
    }
    if (!FileQueue.empty()) {
        Ftp1.HostFileName = FileQueue.front();
        FileQueue.pop_front();
        Ftp1.DeleAsync();
    } else if (!DirsToScan.empty()) {
        OperationFlags_.set(ofDeleteScan);
        Ftp1.HostDirName = DirsToScan.front();
        PairedDirs.push_back(DirsToScan.front());
        DirsToScan.pop_front();
        Ftp1.CwdAsync();
    }
}

} // namespace brisk
