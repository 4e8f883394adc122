#include "session/session_controller.h"

#include "platform/comma_text.h"

namespace brisk {

namespace {

bool keepAliveConfigured(const TFTPOptions& options)
{
    return options.Keep && !options.CmdKeep.empty();
}

} // namespace

void SessionController::startKeepAlive()
{
    KeepAliveSent_ = 0;
    KeepAliveNext_ = 0;
    idleTicks_ = 0;
    keepAliveTicks_ = 0;
    keepAliveChain_ = false;
    cTimer_.setInterval(keepAliveTickMs_);
    cTimer_.setEnabled(keepAliveConfigured(options_));
}

// The timer counts idle ticks since the last completed request; after StartKeep of them one command
// of CmdKeep goes out, in turn. Keep-alive ends DurationKeep minutes after the user's last request.
void SessionController::keepAliveTick()
{
    ++idleTicks_;
    ++keepAliveTicks_;
    if (options_.DurationKeep <= keepAliveTicks_ / 60.0) {
        cTimer_.setEnabled(false);
        return;
    }
    if (idleTicks_ <= options_.StartKeep || Ftp1.State() != fsReady || !Ftp1.Connected())
        return;
    cTimer_.setEnabled(false);
    idleTicks_ = 0;
    const std::vector<std::string> commands = SplitCommaText(options_.CmdKeep);
    if (commands.empty())
        return;
    ++KeepAliveSent_;
    if (KeepAliveNext_ >= int(commands.size()))
        KeepAliveNext_ = 0;
    keepAliveChain_ = true;
    connection_.quote(commands[size_t(KeepAliveNext_)], afterCommand());
    cTimer_.setEnabled(true);
    ++KeepAliveNext_;
}

// Called at the end of every request completion.
void SessionController::requestCompleted()
{
    idleTicks_ = 0;
    if (!keepAliveChain_)
        keepAliveTicks_ = 0;
    cTimer_.setEnabled(keepAliveConfigured(options_) && !SiteListMode_);
}

} // namespace brisk
