#include "session/session_controller.h"

#include "session/remote_paths.h"

namespace brisk {

void SessionController::remoteDoubleClick(int row)
{
    if (row < 0 || size_t(row) >= remote.panel.size() || !connection_.ready() || commandRunning())
        return;
    const PanelRow& entry = remote.panel.rows()[size_t(row)];
    if (entry.image != kImageDirectory && entry.image != kImageUp)
        return;
    if (entry.caption == "..")
        return FTPOneLevelUpClick();
    // A name from the server must not lead anywhere but into a subdirectory.
    if (entry.caption.find('/') != std::string::npos || entry.caption == ".")
        return;
    std::string dir = connection_.dir();
    if (responseType() == ResponseType::Vms)
        dir = entry.caption;
    else
        dir += (dir.empty() || dir.back() == '/' ? "" : "/") + entry.caption;
    connection_.cwd(dir, afterCwd());
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
            connection_.cwd(remote.pathOfItem(index), afterCwd());
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
    const std::string up = UpDir(connection_.dir());
    if (up == "/" && CurrentSite_.CheckVHost) {
        connection_.setDir({});
        return connection_.pwd(afterDirStep());
    }
    connection_.cdup(up, afterDirStep());
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
    if (ui_.InputPrompt(request, answer))
        ChangeRemoteDir(answer);
}

void SessionController::ChangeRemoteDir(const std::string& dir)
{
    connection_.cwd(dir, afterCwd());
}

void SessionController::AskRemoteDir()
{
    connection_.setDir({});
    connection_.pwd(afterDirStep());
}

void SessionController::Refresh3Click()
{
    if (SiteListMode_)
        return sites.refresh();
    startPanelListing();
}

} // namespace brisk
