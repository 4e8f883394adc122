#include "cli_session.h"

#include "platform/event_loop.h"
#include "platform/ticks.h"

#include <ostream>

namespace brisk::cli {

CliSession::CliSession(const GlobalOptions& options, std::ostream& out, std::ostream& err) : out_(out), err_(err)
{
    ftp_.Timeout = options.timeoutSeconds;
    ftp_.OnRequestDone = [this](TCustomFtpCli*, TFtpRequest rq, uint16_t error) {
        done_ = true;
        doneRequest_ = rq;
        doneError_ = error;
    };
    if (options.verbose)
        ftp_.OnDisplay = [this](TCustomFtpCli*, std::string& msg) {
            err_ << (msg.rfind("> PASS ", 0) == 0 ? std::string("> PASS (hidden)") : msg) << '\n';
        };
}

bool CliSession::run(const std::function<void()>& start)
{
    done_ = false;
    doneError_ = 0;
    std::string usage;
    ftp_.OnError = [&usage](TCustomFtpCli*, std::string& msg) { usage = msg; };
    const bool ok = ftp_.Synchronize(start);
    ftp_.OnError = nullptr;
    if (!usage.empty()) {
        err_ << "brisklane-cli: " << usage << '\n';
        return false;
    }
    // The request-done event is posted; it arrives in the next round or two.
    const uint64_t limit = tickCount() + 2000;
    while (!done_ && tickCount() < limit)
        EventLoop::instance().pumpOnce(50);
    if (ok && doneError_ == 0)
        return true;
    reportFailure();
    return false;
}

void CliSession::reportFailure()
{
    const std::string request = FtpRequestName(doneRequest_);
    err_ << "brisklane-cli: " << (request.empty() ? "request" : request) << " failed: error "
         << (doneError_ ? doneError_ : ftp_.StatusCode()) << ": " << ftp_.ErrorMessage() << '\n';
}

bool CliSession::login(const FtpUrl& url)
{
    ftp_.HostName = url.host;
    ftp_.Port = url.port;
    ftp_.UserName = url.user;
    ftp_.PassWord = url.password;
    if (!run([this] { ftp_.OpenAsync(); }))
        return false;
    if (!run([this] { ftp_.UserAsync(); }))
        return false;
    if (ftp_.StatusCode() == 331 && !run([this] { ftp_.PassAsync(); }))
        return false;
    ftp_.HostDirName = url.dir;
    return url.dir.empty() || run([this] { ftp_.CwdAsync(); });
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
