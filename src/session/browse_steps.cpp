#include "session/session_controller.h"

namespace brisk {

namespace {

bool isListing(TFtpRequest kind)
{
    return kind == ftpDirAsync || kind == ftpLsAsync || kind == ftpDirectoryAsync || kind == ftpListAsync;
}

} // namespace

// Every request of the session's connection ends here first; the call that started it then hears
// how it went.
void SessionController::Ftp1RequestDone(TFtpRequest kind, uint16_t error)
{
    cTimer_.setEnabled(false);
    if (isListing(kind)) {
        listingLoading_ = false;
        listingBytes_ = 0;
    }
    // Whatever the path box or an in-place rename started has ended; the box must not stay disabled.
    if (error != 0)
        NavigationBusy_ = false;
    lastError_ = error;
    connection_.requestDone(error);
    // The mark aborts the data transfer that was running when Stop came; no later one.
    if (!stoppingChain())
        abortMark_ = false;
    requestCompleted();
    if (keepAliveChain_ && (error != 0 || isListing(kind)))
        keepAliveChain_ = false;
    changed();
}

// Logged in: SYST, then the site's initial directory (or where the server put the user), listed.
void SessionController::loggedIn()
{
    if (onLoggedIn)
        onLoggedIn();
    connection_.syst([this](bool ok) {
        if (!ok)
            return logError();
        const std::string dir = connection_.dir();
        if (!dir.empty() && dir != "/")
            return connection_.cwd(dir, afterCwd());
        connection_.pwd(afterDirStep());
    });
}

// A change of directory the user asked for: the panel lists where it led. One that failed goes
// back to the base directory, asked with PWD.
FtpConnection::Done SessionController::afterCwd()
{
    return [this](bool ok) {
        if (ok)
            return startPanelListing();
        connection_.setDir(BaseRemoteDir_);
        connection_.pwd(afterDirStep());
    };
}

// CDUP, PWD or MKD: the panel lists the directory; a refusal is logged and the panel stays.
FtpConnection::Done SessionController::afterDirStep()
{
    return [this](bool ok) { ok ? startPanelListing() : logError(); };
}

// A raw or keep-alive command: the current directory again, which refreshes the panel; at a
// virtual host's root it has no path.
FtpConnection::Done SessionController::afterCommand()
{
    return [this](bool ok) {
        if (!ok)
            return logError();
        if (connection_.dir().empty())
            return connection_.pwd(afterDirStep());
        connection_.cwd(connection_.dir(), afterCwd());
    };
}

// The listing the remote panel will show; the window tells how far it has come. It starts from the
// completion before it, so that no other command finds the connection idle in between.
void SessionController::startPanelListing(const std::string& path)
{
    listingLoading_ = true;
    listingBytes_ = 0;
    connection_.list(
        [this](bool ok) {
            if (!ok) {
                logError();
                // What a failed or aborted listing left behind is never read; it must not stay on disk.
                listing_.remove();
                return panelListingFailed();
            }
            if (!Ftp1.Connected())
                return abortSession();
            ShowListing();
        },
        path);
}

// The panel never shows a listing that did not arrive as this directory's content: it is emptied
// and says why, and the session stays. Stopped by the user, the listing leaves the panel as it was,
// with the server back in the directory it shows. With the connection gone, the session ends.
void SessionController::panelListingFailed()
{
    if (!Ftp1.Connected())
        return Ftp1.AbortAsync();
    if (abortMark_ && listingsShown_ > 0)
        return backToShownDir();
    ++showGeneration_;   // the steps of an earlier listing still to come are dropped
    pendingRows_ = {};
    remote.clear();
    remote.RebuildPathBox(msl[msgServerList] + " ...", Ftp1.HostName, connection_.dir());
    listingError_ = FormatMessage(msl[xmsgListingFailed], {connection_.dir(), Ftp1.ErrorMessage()});
    ++listingsFailed_;
}

void SessionController::backToShownDir()
{
    const std::string shown = remote.pathOfItem(int(remote.pathItems().size()) - 1);
    const std::string& dir = connection_.dir();
    if (dir.empty() || dir.front() != '/' || shown == dir)
        return;   // the same directory, or one no path of the panel's names
    connection_.cwd(shown, [this](bool ok) {
        if (!ok)
            logError();
    });
}

// Back where the command started; the panel shows it.
void SessionController::returnToBase()
{
    if (BaseRemoteDir_.empty())
        return connection_.pwd(afterDirStep());
    connection_.cwd(BaseRemoteDir_, afterCwd());
}

void SessionController::logError()
{
    AddLog(msl[msgError] + " " + Ftp1.ErrorMessage());
}

} // namespace brisk
