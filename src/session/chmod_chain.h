#pragma once
#include "session/chain_context.h"
#include "session/request_chain.h"

#include <deque>
#include <string>
#include <vector>

namespace brisk {

// One entry whose permissions change: its name and the mode as three octal digits read as a
// decimal number (755).
struct ChmodItem {
    std::string name;
    int mode = 0;
};

// Sends one SITE CHMOD per entry, then refreshes the panel. Subdirectories are not descended into.
class ChmodChain : public RequestChain {
public:
    explicit ChmodChain(ChainContext& ctx) : RequestChain(ctx) {}

    void start(std::vector<ChmodItem> items);
    void commandDone();

    bool running() const override { return ctx_.flags.has(ofChmodTree); }
    void failed(TFtpRequest kind) override;

private:
    void next();
    void end() override;
    void dropWork() override { queue_.clear(); }

    std::deque<ChmodItem> queue_;
};

} // namespace brisk
