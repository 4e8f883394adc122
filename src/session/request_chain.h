#pragma once
#include "session/chain_context.h"

#include <functional>

namespace brisk {

// What the controller needs of every chain of requests: whether it runs, and ending it on Stop or
// on a failed request. A chain owns its work lists; the controller only routes completions to it.
class RequestChain {
public:
    explicit RequestChain(ChainContext& ctx) : ctx_(ctx) {}
    virtual ~RequestChain() = default;

    virtual bool running() const = 0;
    // Stop: the work lists are emptied. With no request outstanding the chain ends at once;
    // otherwise it ends when that request completes (`finishStop`), whatever its outcome.
    void stop(bool requestPending)
    {
        dropWork();
        if (!running())
            return;
        stopping_ = requestPending;
        if (!requestPending)
            end();
    }
    bool stopping() const { return stopping_; }
    // The request outstanding at Stop has completed, `failed` or not (before finishStop), for a
    // chain that counts its outcomes.
    virtual void stoppedRequestDone(bool failed) { (void)failed; }
    // The request outstanding at Stop has completed: the mark is spent, a listing it fetched is
    // not wanted, and the chain ends.
    void finishStop()
    {
        stopping_ = false;
        ctx_.abortMark = false;
        ctx_.listing.remove();
        end();
    }
protected:
    // The completion of a request of this chain: after Stop it ends the chain, whatever the
    // outcome; otherwise a failure is logged and `step` goes on.
    FtpConnection::Done then(std::function<void(bool ok)> step)
    {
        return [this, step = std::move(step)](bool ok) {
            if (!ok)
                ctx_.logError();
            if (!stopping_)
                return step(ok);
            stoppedRequestDone(!ok);
            finishStop();
        };
    }

    // Empties the work lists.
    virtual void dropWork() {}
    // Clears the chain's flag and returns the panel to where the chain started.
    virtual void end() = 0;

    ChainContext& ctx_;
    bool stopping_ = false;
};

} // namespace brisk
