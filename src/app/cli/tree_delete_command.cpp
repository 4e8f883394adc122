#include "tree_delete_command.h"

#include "batch_user_interface.h"
#include "config/options_store.h"
#include "platform/directories.h"
#include "platform/event_loop.h"
#include "session/remote_paths.h"
#include "session/session_controller.h"

#include <cstdio>
#include <ostream>

namespace brisk::cli {

namespace {

TFTPServerInfo siteOf(const FtpUrl& url, const GlobalOptions& options)
{
    TFTPServerInfo site;
    site.Server = url.host;
    site.Port = url.port;
    site.Anonymous = !url.hasUser;
    site.User = url.user;
    site.EMail = "brisklane@";
    site.Password = url.password;
    site.SavePassword = 1;
    site.Pasv = !options.active;
    site.ShowHidden = options.hidden;
    site.InitialDir = url.dir;
    site.Answer = "0";
    return site;
}

void splitHostPort(const std::string& text, std::string& host, std::string& port, const char* defaultPort)
{
    const size_t colon = text.rfind(':');
    host = colon == std::string::npos ? text : text.substr(0, colon);
    port = colon == std::string::npos ? defaultPort : text.substr(colon + 1);
}

TFTPOptions optionsOf(const GlobalOptions& cli)
{
    TFTPOptions options;
    options.ListingTempFile = MakeListingTempFile();
    options.TimeOut = cli.timeoutSeconds;
    options.Retry = 0;
    options.Keep = false;
    options.Log = false;
    options.LogSize = 1 << 30;
    options.IniPath.clear();
    options.PassiveTransfer = !cli.active;
    if (!cli.proxy.empty()) {
        options.ConnectionType = uint8_t(ftpProxy);
        splitHostPort(cli.proxy, options.ProxyServer, options.ProxyPort, "21");
    } else if (cli.socksKind != ftpDirect) {
        options.ConnectionType = uint8_t(cli.socksKind);
        splitHostPort(cli.socks, options.SocksServer, options.SocksPort, "1080");
        options.SocksUC = cli.socksUser;
        options.SocksPsw = cli.socksPassword;
    }
    return options;
}

int rowOf(const FilePanel& panel, const std::string& name)
{
    for (size_t i = 0; i < panel.size(); ++i)
        if (panel.rows()[i].caption == name)
            return int(i);
    return -1;
}

// One controller, driven by the event loop until each step's listing is shown.
class TreeDeleteRun {
public:
    TreeDeleteRun(const GlobalOptions& options, std::ostream& err)
        : options_(optionsOf(options)), ui_(err), local_(currentDirectory()), err_(err), verbose_(options.verbose)
    {
        c_.ApplyOptions();
    }
    ~TreeDeleteRun()
    {
        if (verbose_)
            for (const std::string& line : c_.log.lines())
                err_ << line << '\n';
        std::remove(options_.ListingTempFile.c_str());
    }

    bool open(const TFTPServerInfo& site);
    bool remove(const std::string& dir);

private:
    bool waitListing(uint64_t before);
    bool waitChainEnd();
    bool show(const std::string& dir);
    void report(const std::string& dir, const std::string& why) { err_ << "brisklane-cli: " << dir << ": " << why << '\n'; }

    TFTPOptions options_;
    BatchUserInterface ui_;
    FixedLocalDirectory local_;
    SessionController c_{ui_, options_, local_};
    std::ostream& err_;
    bool verbose_;
};

bool TreeDeleteRun::waitListing(uint64_t before)
{
    while (c_.listingsShown() == before && !(c_.SiteListMode() && c_.Ftp1.State() == fsReady && c_.ConnectAttempt() < 0))
        EventLoop::instance().pumpOnce(100);
    return c_.listingsShown() > before && !c_.SiteListMode();
}

bool TreeDeleteRun::waitChainEnd()
{
    const uint64_t before = c_.listingsShown();
    while (!c_.SiteListMode() && (c_.deleteChain().running() || c_.Ftp1.State() != fsReady ||
                                  EventLoop::instance().hasPosted() || c_.listingsShown() == before))
        EventLoop::instance().pumpOnce(100);
    return !c_.SiteListMode();
}

bool TreeDeleteRun::open(const TFTPServerInfo& site)
{
    const uint64_t before = c_.listingsShown();
    c_.OpenSite(site);
    if (!waitListing(before))
        return false;
    if (c_.Ftp1.HostDirName.rfind('/', 0) == 0)
        return true;
    // The paths given are resolved against an absolute directory.
    const uint64_t relisted = c_.listingsShown();
    c_.Ftp1.HostDirName.clear();
    c_.Ftp1.PwdAsync();
    return waitListing(relisted);
}

// Shows `dir` in the panel; true once its listing is there.
bool TreeDeleteRun::show(const std::string& dir)
{
    if (c_.Ftp1.HostDirName == dir)
        return true;
    const uint64_t before = c_.listingsShown();
    c_.Ftp1.HostDirName = dir;
    c_.Ftp1.CwdAsync();
    return waitListing(before) && c_.Ftp1.HostDirName == dir;
}

bool TreeDeleteRun::remove(const std::string& given)
{
    const std::string path = given.rfind('/', 0) == 0 ? given : WithSlash(c_.Ftp1.HostDirName) + given;
    const std::string name = LastComponent(path);
    if (name.empty() || name == "." || name == "..")
        return report(given, "not a directory that can be removed"), false;
    if (!show(UpDir(path)))
        return report(given, "its parent directory cannot be entered"), false;
    const int row = rowOf(c_.remote.panel, name);
    if (row < 0)
        return report(given, "no such entry"), false;
    c_.remote.panel.unselectAll();
    c_.setRemoteSelected(size_t(row), true);
    c_.DeleteRemote();
    if (!waitChainEnd())
        return report(given, "the session ended"), false;
    if (rowOf(c_.remote.panel, name) >= 0)
        return report(given, "not removed"), false;
    return true;
}

} // namespace

int runTreeDelete(const GlobalOptions& options, const FtpUrl& url, const std::vector<std::string>& dirs,
                  std::ostream& err)
{
    TreeDeleteRun run(options, err);
    if (!run.open(siteOf(url, options)))
        return err << "brisklane-cli: the session could not be opened\n", kExitFailed;
    bool all = true;
    for (const std::string& dir : dirs)
        all = run.remove(dir) && all;
    return all ? kExitOk : kExitFailed;
}

} // namespace brisk::cli
