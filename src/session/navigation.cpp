#include "session/session_controller.h"

#include "platform/event_loop.h"
#include "session/remote_paths.h"

namespace brisk {

void SessionController::remoteDoubleClick(int row)
{
    if (row < 0 || size_t(row) >= remote.panel.size())
        return;
    const PanelRow& entry = remote.panel.rows()[size_t(row)];
    if (entry.image != kImageDirectory && entry.image != kImageUp)
        return;
    if (entry.caption == "..")
        return FTPOneLevelUpClick();
    // A name from the server must not lead anywhere but into a subdirectory.
    if (entry.caption.find('/') != std::string::npos || entry.caption == ".")
        return;
    std::string& dir = Ftp1.HostDirName;
    if (responseType() == ResponseType::Vms)
        dir = entry.caption;
    else
        dir += (dir.empty() || dir.back() == '/' ? "" : "/") + entry.caption;
    Ftp1.Cwd();
}

void SessionController::ListCurrentDir()
{
    Ftp1.HostFileName.clear();
    Ftp1.LocalFileName = options_.ListingTempFile;
    Ftp1.TypeAscii();
    listingPosted_ = true;
    post([this] {
        listingPosted_ = false;
        // Stop came while the listing waited: the chain ends instead.
        if (RequestChain* chain = stoppingChain())
            return chain->finishStop();
        startPanelListing();
    });
}

void SessionController::FTPPathChange(int index)
{
    if (SiteListMode_) {
        sites.choosePathItem(index);
    } else if (!NavigationBusy_ && Ftp1.State() == fsReady) {
        remote.selectPathItem(index);
        if (index == 0) {
            Disconnect();
        } else {
            NavigationBusy_ = true;
            Ftp1.HostDirName = remote.pathOfItem(index);
            Ftp1.CwdAsync();
            remote.setPathTag(index);
        }
    } else if (remote.pathTag() >= 0 && remote.pathTag() < int(remote.pathItems().size()) &&
               remote.pathTag() != index) {
        remote.selectPathItem(remote.pathTag());
    }
    SetConnectedUI(!SiteListMode_);
}

void SessionController::FTPOneLevelUpClick()
{
    if (SiteListMode_) {
        const int selected = sites.siteList.pathItems().selected();
        if (selected > 0)
            FTPPathChange(selected - 1);
        return;
    }
    if (remote.pathSelected() <= 0 || Ftp1.State() != fsReady)
        return;
    const std::string up = UpDir(Ftp1.HostDirName);
    if (up == "/" && CurrentSite_.CheckVHost) {
        Ftp1.HostDirName.clear();
        Ftp1.PwdAsync();
        return;
    }
    Ftp1.HostDirName = up;
    Ftp1.CDupAsync();
}

void SessionController::ChandDirect1Click()
{
    if (SiteListMode_)
        return;
    PromptRequest request;
    request.title = msl[msgChangeDirectory];
    if (remote.pathSelected() >= 2)
        request.text = remote.pathOfItem(remote.pathSelected());
    std::string answer;
    if (!ui_.InputPrompt(request, answer))
        return;
    Ftp1.HostDirName = answer;
    Ftp1.CwdAsync();
}

void SessionController::Refresh3Click()
{
    if (SiteListMode_)
        return sites.refresh();
    Ftp1.HostFileName.clear();
    Ftp1.LocalFileName = options_.ListingTempFile;
    startPanelListing();
}

// The listing the remote panel will show; the window tells how far it has come.
void SessionController::startPanelListing()
{
    listingLoading_ = true;
    listingBytes_ = 0;
    Ftp1.DirAsync();
}

} // namespace brisk
