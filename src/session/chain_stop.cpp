#include "session/session_controller.h"

namespace brisk {

RequestChain* SessionController::runningChain()
{
    for (RequestChain* chain : std::initializer_list<RequestChain*>{&delete_, &rename_, &chmod_, &transfer_})
        if (chain->running())
            return chain;
    return nullptr;
}

RequestChain* SessionController::stoppingChain()
{
    for (RequestChain* chain : std::initializer_list<RequestChain*>{&delete_, &rename_, &chmod_, &transfer_})
        if (chain->stopping())
            return chain;
    return nullptr;
}

bool SessionController::commandRunning() const
{
    return delete_.running() || rename_.running() || chmod_.running() || transfer_.running() ||
           (operation_ && operation_->running());
}

bool SessionController::requestPending() const
{
    return Ftp1.State() != fsReady;
}

bool SessionController::canStop() const
{
    return enabled(Action::Stop) && (requestPending() || commandRunning());
}

// Stop tells the running command, which ends itself (now, or when the request under way
// completes). With nothing running Stop does nothing: a mark left set would abort the next
// listing and end the session.
void SessionController::StopTransfer()
{
    if (onStop)
        onStop();
    if (Ftp1.State() == fsDnsLookup || Ftp1.State() == fsWaitingBanner) {
        connectStopped_ = true;
        Ftp1.AbortAsync();
        return;
    }
    const bool pending = requestPending();
    if (operation_ && operation_->running()) {
        abortMark_ = operation_->stop() && pending;
        return changed();
    }
    RequestChain* chain = runningChain();
    if (!chain && !pending)
        return;
    // The mark aborts the data transfer under way. A chain other than a transfer is let finish
    // its request instead: aborting a listing costs the control connection, and the chain ends
    // right after it anyway.
    abortMark_ = pending && (!chain || chain == &transfer_);
    if (chain)
        chain->stop(pending);
    busyCursor_ = false;
    changed();
}

} // namespace brisk
