#include "controller_run.h"

#include "config/options_store.h"
#include "platform/event_loop.h"
#include "session/remote_paths.h"

#include <sys/stat.h>
#include <unistd.h>

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
    site.Security = url.security;
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

// What the options file says to do with an existing target: skip or overwrite; skip when there is no
// file. A stored "resume" is not taken: the command line resumes only when told to.
int32_t storedOverwriteDefault()
{
    TFTPOptions stored;
    TLang lang;
    ListFonts fonts;
    LoadOptions(stored, lang, fonts);
    return stored.DefPrompt == 1 ? 1 : 0;
}

TFTPOptions optionsOf(const GlobalOptions& cli, const std::string& listingFile)
{
    TFTPOptions options;
    options.ListingTempFile = listingFile;
    options.TimeOut = cli.timeoutSeconds;
    options.Retry = 0;
    options.Keep = false;
    options.Log = false;
    options.LogSize = 1 << 30;
    options.IniPath.clear();
    options.PassiveTransfer = !cli.active;
    // Nobody is there to answer the overwrite question.
    options.PromptDownLoad = false;
    options.PromptUpLoad = false;
    options.DefPrompt = cli.ifExists >= 0 ? cli.ifExists : storedOverwriteDefault();
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

} // namespace

int rowOf(const FilePanel& panel, const std::string& name)
{
    for (size_t i = 0; i < panel.size(); ++i)
        if (panel.rows()[i].caption == name)
            return int(i);
    return -1;
}

bool isRealDirectory(const std::filesystem::path& path)
{
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::filesystem::path absoluteLocalPath(const std::string& given)
{
    std::filesystem::path path = std::filesystem::absolute(given).lexically_normal();
    return path.has_filename() ? path : path.parent_path();
}

ControllerRun::ControllerRun(const GlobalOptions& options, std::string localDir, std::ostream& err)
    : options_(optionsOf(options, listing_.path())), progress_(err),
      ui_(err, isatty(STDERR_FILENO) ? &progress_ : nullptr), local_(std::move(localDir)), err_(err), cli_(options)
{
    ui_.certificates = {options.trust, options.insecure};
    c_.ApplyOptions();
    if (options.limitRate > 0)
        c_.setRateBudgets(std::make_shared<RateBudget>(options.limitRate), std::make_shared<RateBudget>(options.limitRate));
}

ControllerRun::~ControllerRun()
{
    if (cli_.verbose)
        for (const std::string& line : c_.log.lines())
            err_ << line << '\n';
}

// A listing that failed ends the wait too; the panel then holds no rows, only the error.
bool ControllerRun::waitListing(uint64_t before)
{
    const uint64_t failedBefore = c_.listingsFailed();
    while (c_.listingsShown() == before && c_.listingsFailed() == failedBefore &&
           !(c_.SiteListMode() && c_.engine().State() == fsReady && c_.ConnectAttempt() < 0))
        EventLoop::instance().pumpOnce(100);
    if (c_.listingsFailed() != failedBefore)
        err_ << "brisklane-cli: " << c_.listingError() << '\n';
    return c_.listingsShown() > before && !c_.SiteListMode();
}

bool ControllerRun::waitChainEnd(const RequestChain& chain)
{
    return waitEnd([&chain] { return chain.running(); });
}

bool ControllerRun::waitEnd(const std::function<bool()>& running)
{
    while (!c_.SiteListMode() && (running() || c_.engine().State() != fsReady || EventLoop::instance().hasPosted()))
        EventLoop::instance().pumpOnce(100);
    return !c_.SiteListMode();
}

bool ControllerRun::open(const FtpUrl& url)
{
    const uint64_t before = c_.listingsShown();
    c_.OpenSite(siteOf(url, cli_));
    bool open = waitListing(before);
    if (open && c_.remoteDir().rfind('/', 0) != 0) {
        // The paths given are resolved against an absolute directory.
        const uint64_t relisted = c_.listingsShown();
        c_.AskRemoteDir();
        open = waitListing(relisted);
    }
    if (!open)
        err_ << "brisklane-cli: the session could not be opened\n";
    startDir_ = c_.remoteDir();
    return open;
}

std::string ControllerRun::absolute(const std::string& given) const
{
    std::string path = given.rfind('/', 0) == 0 ? given : WithSlash(startDir_) + given;
    if (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

bool ControllerRun::show(const std::string& dir)
{
    if (c_.remoteDir() == dir)
        return true;
    const uint64_t before = c_.listingsShown();
    c_.ChangeRemoteDir(dir);
    return waitListing(before) && c_.remoteDir() == dir;
}

int ControllerRun::selectEntry(const std::string& given, const std::string& what)
{
    const std::string path = absolute(given);
    const std::string name = LastComponent(path);
    if (name.empty() || name == "." || name == "..")
        return report(given, "not a directory that can be " + what), -1;
    if (!show(UpDir(path)))
        return report(given, "its parent directory cannot be entered"), -1;
    const int row = rowOf(c_.remote.panel, name);
    if (row < 0)
        return report(given, "no such entry"), -1;
    c_.remote.panel.unselectAll();
    c_.setRemoteSelected(size_t(row), true);
    return row;
}

bool ControllerRun::printClosingLines(const std::string& closing, bool verbose)
{
    const auto& lines = c_.log.lines();
    const std::string failedPrefix = c_.msl[xmsgFailedName].substr(0, c_.msl[xmsgFailedName].find("%1"));
    for (size_t i = lines.size(); i-- > 0;) {
        if (lines[i].rfind(closing, 0) != 0)
            continue;
        for (size_t j = i; !verbose && j < lines.size() && (j == i || lines[j].rfind(failedPrefix, 0) == 0); ++j)
            err_ << lines[j] << '\n';
        return true;
    }
    return false;
}

void ControllerRun::report(const std::string& subject, const std::string& why)
{
    err_ << "brisklane-cli: " << subject << ": " << why << '\n';
}

} // namespace brisk::cli
