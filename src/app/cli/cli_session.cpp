#include "cli_session.h"

#include "certificate_policy.h"
#include "platform/ascii.h"
#include "platform/event_loop.h"
#include "platform/program_dir.h"
#include "platform/ticks.h"

#include <unistd.h>

#include <ostream>

namespace brisk::cli {

CliSession::CliSession(const GlobalOptions& options, std::ostream& out, std::ostream& err)
    : options_(options), out_(out), err_(err)
{
    ftp_.Timeout = options.timeoutSeconds;
    ftp_.MaxListingSize = options.maxListingBytes;
    if (options.limitRate > 0) {
        ftp_.DownloadRate = std::make_shared<RateBudget>(options.limitRate);
        ftp_.UploadRate = std::make_shared<RateBudget>(options.limitRate);
    }
    if (isatty(STDERR_FILENO))
        ftp_.OnProgress = [this](TCustomFtpCli*, int64_t count, bool&) { showProgress(count); };
    ftp_.OnRequestDone = [this](TCustomFtpCli*, TFtpRequest rq, uint16_t error) {
        done_ = true;
        doneRequest_ = rq;
        doneError_ = error;
    };
    if (options.verbose)
        ftp_.OnDisplay = [this](TCustomFtpCli*, std::string& msg) {
            err_ << (msg.rfind("> PASS ", 0) == 0 ? std::string("> PASS (hidden)") : printableLine(msg)) << '\n';
        };
}

bool CliSession::run(const std::function<void()>& start, bool reportFailures)
{
    done_ = false;
    doneError_ = 0;
    std::string usage;
    ftp_.OnError = [&usage](TCustomFtpCli*, std::string& msg) { usage = msg; };
    const bool ok = ftp_.Synchronize(start);
    ftp_.OnError = nullptr;
    endProgress();
    if (!usage.empty()) {
        err_ << "brisklane-cli: " << usage << '\n';
        refusedAsUsage_ = true;
        return false;
    }
    // The request-done event is posted; it arrives in the next round or two.
    const uint64_t limit = tickCount() + 2000;
    while (!done_ && tickCount() < limit)
        EventLoop::instance().pumpOnce(50);
    if (ok && doneError_ == 0)
        return true;
    if (reportFailures)
        reportFailure();
    return false;
}

void CliSession::reportFailure()
{
    const std::string request = FtpRequestName(doneRequest_);
    err_ << "brisklane-cli: " << (request.empty() ? "request" : request) << " failed: error "
         << (doneError_ ? doneError_ : ftp_.StatusCode()) << ": " << ftp_.ErrorMessage() << '\n';
}

// Progress may come once per data block, thousands of times a second: redrawn about ten times a second.
void CliSession::showProgress(int64_t count)
{
    const uint64_t now = tickCount();
    if (progressShown_ && now - lastProgress_ < 100)
        return;
    lastProgress_ = now;
    progressShown_ = true;
    err_ << "\r" << count << " bytes" << std::flush;
}

void CliSession::endProgress()
{
    if (progressShown_)
        err_ << '\n';
    progressShown_ = false;
}

void CliSession::applyLogin(const FtpUrl& url)
{
    ftp_.HostName = url.host;
    ftp_.Port = url.port;
    ftp_.UserName = url.user;
    ftp_.PassWord = url.password;
    ftp_.Security = url.security;
    if (url.security != ftpSecurityPlain)
        ftp_.TrustStorePath = ProgramDir() + "trusted_certs"; // what the user trusts always in the window
    const CertificatePolicy policy{options_.trust, options_.insecure};
    ftp_.OnCertificateQuestion = [this, policy](const CertificateQuestion& question) {
        return policy.answer(question, err_);
    };
}

bool CliSession::changeToUrlDir(const FtpUrl& url)
{
    ftp_.HostDirName = url.dir;
    return url.dir.empty() || run([this] { ftp_.CwdAsync(); });
}

void CliSession::applyProxies()
{
    if (!options_.proxy.empty()) {
        const size_t colon = options_.proxy.rfind(':');
        ftp_.SetConnectionType(ftpProxy);
        ftp_.ProxyServer = options_.proxy.substr(0, colon);
        ftp_.ProxyPort = colon == std::string::npos ? "ftp" : options_.proxy.substr(colon + 1);
    }
    if (options_.socksKind != ftpDirect) {
        const size_t colon = options_.socks.rfind(':');
        ftp_.SetConnectionType(options_.socksKind);
        ftp_.SetSocksServer(options_.socks.substr(0, colon));
        ftp_.SetSocksPort(options_.socks.substr(colon + 1));
        ftp_.SetSocksUserCode(options_.socksUser);
        ftp_.SetSocksPassword(options_.socksPassword);
    }
}

bool CliSession::connect(const FtpUrl& url)
{
    applyLogin(url);
    applyProxies();
    ftp_.SetPassive(!options_.active);
    ftp_.ListHiddenFiles = options_.hidden;
    if (!run([this] { ftp_.ConnectAsync(); }))
        return false;
    return changeToUrlDir(url);
}

bool CliSession::login(const FtpUrl& url)
{
    applyLogin(url);
    applyProxies();
    if (!run([this] { ftp_.OpenAsync(); }) || !run([this] { ftp_.SecureAsync(); }))
        return false;
    if (!run([this] { ftp_.UserAsync(); }))
        return false;
    if (ftp_.StatusCode() == 331 && !run([this] { ftp_.PassAsync(); }))
        return false;
    return changeToUrlDir(url);
}

void CliSession::quit()
{
    if (!ftp_.Connected() || (ftp_.State() != fsReady && ftp_.State() != fsInternalReady))
        return;
    done_ = false;
    ftp_.OnError = [](TCustomFtpCli*, std::string&) {};
    ftp_.Synchronize([this] { ftp_.QuitAsync(); });
    ftp_.OnError = nullptr;
}

} // namespace brisk::cli
