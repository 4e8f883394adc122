#pragma once
#include "session/chain_context.h"
#include "session/request_chain.h"

#include <deque>
#include <string>
#include <vector>

namespace brisk {

struct RenamePair {
    std::string from;
    std::string to;
};

// Renames remote entries with one RNFR/RNTO pair each, then refreshes the panel.
class RenameChain : public RequestChain {
public:
    explicit RenameChain(ChainContext& ctx) : ctx_(ctx) {}

    void start(std::vector<RenamePair> pairs);
    void renameDone();

    bool running() const override { return running_; }
    void stop(bool requestPending) override;
    void finishStop() override;
    void failed(TFtpRequest kind) override;

private:
    void next();
    void end();

    ChainContext& ctx_;
    std::deque<RenamePair> queue_;
    size_t renamed_ = 0;
    bool running_ = false;
};

} // namespace brisk
