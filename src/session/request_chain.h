#pragma once
#include "ftp/ftp_types.h"

namespace brisk {

// What the controller needs of every chain of requests: whether it runs, and ending it on Stop or
// on a failed request. A chain owns its work lists; the controller only routes completions to it.
class RequestChain {
public:
    virtual ~RequestChain() = default;

    virtual bool running() const = 0;
    // Stop: the work lists are emptied. With no request outstanding the chain ends at once;
    // otherwise it ends when that request completes (`finishStop`), whatever its outcome.
    virtual void stop(bool requestPending) = 0;
    bool stopping() const { return stopping_; }
    virtual void finishStop() = 0;
    // A request of this chain failed (already logged); the chain cannot continue and ends.
    virtual void failed(TFtpRequest kind) = 0;

protected:
    bool stopping_ = false;
};

} // namespace brisk
