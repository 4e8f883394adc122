#pragma once
#include "listing/remote_entry.h"
#include "session/chain_context.h"
#include "session/request_chain.h"
#include "session/work_item.h"

#include <deque>
#include <string>
#include <vector>

namespace brisk {

// Deletes remote files and whole directory trees: the selected files first, then each directory
// is entered, listed and emptied, directories found in it are visited after it, and at the end
// the directories are removed in the reverse order of their visit and the panel returns to the
// base directory.
class DeleteChain : public RequestChain {
public:
    explicit DeleteChain(ChainContext& ctx) : RequestChain(ctx) {}

    // `files` are names in the base directory, `dirs` full paths of directories to delete.
    void start(std::vector<WorkItem> files, std::vector<WorkItem> dirs);
    // Completions: the listing of an entered directory, a DELE, and an RMD (or the CWD or CDUP
    // that stepped out of the directory to remove).
    void listingDone();
    void fileDone();
    void removeDone();

    bool running() const override { return running_; }
    void failed(TFtpRequest kind) override;

private:
    void scanListing();
    void queueEntry(const RemoteEntry& entry, const std::string& dir);
    void enterNextDir();
    void stepOutOf(const std::string& dir);
    void end() override;
    void dropWork() override;

    std::deque<WorkItem> files_;          // names in the current directory
    std::deque<WorkItem> toScan_;         // directories still to be entered and listed
    std::vector<WorkItem> entered_;       // directories entered, removed last-in first-out
    bool running_ = false;
};

} // namespace brisk
