#pragma once
#include "session/chain_context.h"
#include "session/chmod_item.h"
#include "session/request_chain.h"

#include <deque>
#include <vector>

namespace brisk {

// Sends one SITE CHMOD per entry, then logs how many changed and how many failed and refreshes
// the panel. A refused entry does not hold up the others; subdirectories are not descended into.
class ChmodChain : public RequestChain {
public:
    explicit ChmodChain(ChainContext& ctx) : RequestChain(ctx) {}

    void start(std::vector<ChmodItem> items);

    bool running() const override { return running_; }
    void stoppedRequestDone(bool failed) override { ++(failed ? failed_ : changed_); }

private:
    void ChmodNext();
    void end() override;
    void dropWork() override { queue_.clear(); }

    std::deque<ChmodItem> queue_;
    size_t changed_ = 0;
    size_t failed_ = 0;
    bool running_ = false;
};

} // namespace brisk
