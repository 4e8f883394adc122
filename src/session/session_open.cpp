#include "session/session_controller.h"

#include "platform/local_directory_port.h"
#include "platform/directories.h"
#include "platform/program_dir.h"
#include "ftp/rate_budget.h"
#include "session/remote_paths.h"
#include "sites/server_address.h"

#include <ctime>

namespace brisk {

namespace {


std::string connectingStamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char buf[64];
    std::strftime(buf, sizeof buf, " , %d %b %Y %H:%M:%S", &tm);
    return buf;
}

bool addressHasPassword(const std::string& server)
{
    TFTPServerInfo probe;
    probe.Server = server;
    ParseServerAddress(probe);
    return !probe.Password.empty();
}

} // namespace

void SessionController::Connect()
{
    if (Ftp1.Connected() || busyCursor_)
        return;
    ConnectAttempt_ = 0;
    OpenSelectedSite();
}

void SessionController::OpenSelectedSite()
{
    if (Ftp1.State() != fsReady && Ftp1.State() != fsInternalReady) {
        if (Ftp1.State() == fsAbort)
            Ftp1.AbortAsync();
        return;
    }
    if (!SiteListMode_)
        remoteDoubleClick(remote.panel.selectedIndex());
    else if (openFromSiteList())
        startConnect();
}

bool SessionController::openFromSiteList()
{
    const SiteEntry* entry = sites.siteToOpen();
    if (!entry)
        return false;
    openedFolder_ = sites.siteList.CurrentSiteFolder();
    openedCaption_ = entry->caption;
    return takeSite(entry->site);
}

void SessionController::OpenSite(const TFTPServerInfo& site)
{
    if (!canOpenSite())
        return;
    ConnectAttempt_ = 0;
    openedCaption_.clear();
    if (takeSite(site))
        startConnect();
}

QueueSite SessionController::queueSite() const
{
    return openedCaption_.empty() ? QuickConnectSite(CurrentSite_) : StoredSite(openedFolder_ + openedCaption_);
}

// The site's working copy, with an address typed into its server field taken apart.
bool SessionController::takeSite(const TFTPServerInfo& site)
{
    CurrentSite_ = site;
    ParseServerAddress(CurrentSite_);
    if (!hostGiven())
        return false;
    // A password written into the address is as good as a saved one.
    if (addressHasPassword(site.Server))
        CurrentSite_.SavePassword = 1;
    Ftp1.HostName = CurrentSite_.Server;
    // Every site brings its own port; a proxy connection uses the proxy's port from the options.
    Ftp1.Port = SitePort(CurrentSite_);
    return askPassword();
}

// A site without a host (an empty server field, ":2121", a stored line without one) cannot be
// opened; the user is told and the window stays as it was.
bool SessionController::hostGiven()
{
    if (!CurrentSite_.Server.empty())
        return true;
    AddLog(msl[msgError] + " " + msl[xmsgHostNameEmpty]);
    ui_.ShowMessage(msl[msgAttention], msl[xmsgHostNameEmpty]);
    return false;
}

bool SessionController::askPassword()
{
    if (CurrentSite_.Anonymous) {
        Ftp1.UserName = "anonymous";
        Ftp1.PassWord = CurrentSite_.EMail;
        return true;
    }
    Ftp1.UserName = CurrentSite_.User;
    if (CurrentSite_.SavePassword) {
        Ftp1.PassWord = CurrentSite_.Password;
        return true;
    }
    PromptRequest request;
    request.title = msl[msgEnterPassword];
    request.label = msl[msgPassword] + ":";
    request.masked = true;
    std::string answer;
    if (!ui_.InputPrompt(request, answer))
        return false;
    Ftp1.PassWord = answer;
    return true;
}

void SessionController::startConnect()
{
    Ftp1.Binary = true;
    Ftp1.SetPassive(CurrentSite_.Pasv != 0);
    Ftp1.ListHiddenFiles = CurrentSite_.ShowHidden != 0;
    Ftp1.Security = CurrentSite_.Security <= ftpSecurityImplicit ? TFtpSecurity(CurrentSite_.Security) : ftpSecurityPlain;
    Ftp1.TrustStorePath = ProgramDir() + "trusted_certs";
    Ftp1.OnCertificateQuestion = [this](const CertificateQuestion& question) { return ui_.AskCertificate(question); };
    connection_.setDir(RemoteDirRule(CurrentSite_.InitialDir, CurrentSite_.CheckVHost != 0));
    applySiteLocalDir();
    AddLog("");
    AddLog(msl[msgConnectingTo] + " " + Ftp1.HostName + connectingStamp());
    actions_.insert(Action::Stop);
    ConnectAttempt_ = 0;
    connectStopped_ = false;
    startAttempt();
    changed();
}

void SessionController::startAttempt()
{
    phase_ = Phase::Connecting;
    Ftp1.Timeout = 0;
    try {
        connection_.connect([this](bool ok) { ok ? loggedIn() : connectFailed(lastError_); });
    } catch (const std::exception& e) {
        // Refused before anything went out (a host name the resolver rejects, say): the abort
        // ends the request, and its completion returns to the site list without another attempt.
        AddLog(msl[msgError] + " " + e.what());
        connectStopped_ = true;
        Ftp1.AbortAsync();
    }
}

void SessionController::applySiteLocalDir()
{
    const std::string& dir = CurrentSite_.LocalDir;
    if (dir.empty())
        return;
    if (directoryExists(dir) || makeDirectories(dir, 0777))  // the umask decides, as for any new directory
        local_.changeDirectory(dir);
}

void SessionController::ApplyOptions()
{
    // The engine refuses new connection settings during a session; they apply to the next one.
    if (!Ftp1.Connected())
        applyConnectionOptions();
    Ftp1.Timeout = options_.TimeOut;
    Ftp1.MaxListingSize = int64_t(options_.MaxListingMiB) << 20;
    applyRateLimits();
    logFileFromOptions();
    log.setLogSize(options_.LogSize);
    sites.ApplyOptions();
    fontName = options_.FontName;
    fontSize = options_.FontSize;
    fontColor = options_.FontColor;
    if (!options_.IniPath.empty() && directoryExists(options_.IniPath) &&
        WithSlash(options_.IniPath) != WithSlash(local_.currentDir()))
        local_.changeDirectory(options_.IniPath);
    changed();
}

void SessionController::applyConnectionOptions()
{
    Ftp1.SetConnectionType(options_.ConnectionType);
    const bool proxy = options_.ConnectionType == ftpProxy;
    Ftp1.ProxyServer = proxy ? options_.ProxyServer : "";
    Ftp1.ProxyPort = proxy ? options_.ProxyPort : "";
    const bool socks = options_.ConnectionType >= ftpSocks4 && options_.ConnectionType <= ftpSocks5;
    Ftp1.SetSocksServer(socks ? options_.SocksServer : "");
    Ftp1.SetSocksPort(socks ? options_.SocksPort : "");
    Ftp1.SetSocksPassword(socks ? options_.SocksPsw : "");
    Ftp1.SetSocksUserCode(socks ? options_.SocksUC : "");
    Ftp1.SetPassive(options_.PassiveTransfer);
}

// The budgets are shared with the transfer connections opened from now on.
void SessionController::applyRateLimits()
{
    auto budget = [](int32_t kib) { return kib > 0 ? std::make_shared<RateBudget>(int64_t(kib) * 1024) : nullptr; };
    setRateBudgets(budget(options_.DownLimit), budget(options_.UpLimit));
}

void SessionController::setRateBudgets(std::shared_ptr<RateBudget> download, std::shared_ptr<RateBudget> upload)
{
    Ftp1.DownloadRate = std::move(download);
    Ftp1.UploadRate = std::move(upload);
}

void SessionController::logFileFromOptions()
{
    if (!options_.Log) {
        log.setLogFile("");
        return;
    }
    std::string path = options_.LogFile;
    if (path.find('/') == std::string::npos)
        path = ProgramDir() + path;
    LogFileName_ = options_.LogFile;
    log.setLogFile(path);
}

} // namespace brisk
