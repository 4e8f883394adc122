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
    explicit RenameChain(ChainContext& ctx) : RequestChain(ctx) {}

    void start(std::vector<RenamePair> pairs);

    bool running() const override { return running_; }

private:
    void next();
    void end() override;
    void dropWork() override { queue_.clear(); }

    std::deque<RenamePair> queue_;
    size_t renamed_ = 0;
    bool running_ = false;
};

} // namespace brisk
