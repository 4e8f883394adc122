#pragma once
#include "listing/remote_entry.h"
#include "session/chain_context.h"
#include "session/request_chain.h"
#include "session/work_item.h"

#include <deque>
#include <string>
#include <vector>

namespace brisk {

// What a delete did, for its closing lines: files and directories removed, and what failed by
// name (a directory stands for everything below it).
struct DeleteTally {
    int deleted = 0;
    int failed = 0;
    std::vector<std::string> failedNames;
};

// Deletes remote files and whole directory trees: the selected files first, then each directory
// is entered, listed and emptied, directories found in it are visited after it, and at the end
// the directories are removed in the reverse order of their visit and the panel returns to the
// base directory. A directory that cannot be entered or listed, or holds an entry that cannot be
// deleted, is kept with everything in it and above it; its siblings are still deleted.
class DeleteChain : public RequestChain {
public:
    explicit DeleteChain(ChainContext& ctx) : RequestChain(ctx) {}

    // `files` are names in the base directory, `dirs` full paths of directories to delete.
    void start(std::vector<WorkItem> files, std::vector<WorkItem> dirs);
    bool running() const override { return running_; }
    const DeleteTally& tally() const { return tally_; }

private:
    void scanListing();
    void queueEntry(const RemoteEntry& entry, const std::string& dir);
    void next();
    void enterNextDir();
    void removeNext();
    void stepOutOf(const std::string& dir);
    FtpConnection::Done afterStepOut();
    void keepCurrentDir(MainExtraMessage why);
    void keepWithParents(const std::string& dir);
    void fail(const std::string& name);
    void failAndEnd(const std::string& name);
    void end() override;
    void dropWork() override;

    std::deque<WorkItem> files_;          // names in the current directory
    std::deque<WorkItem> toScan_;         // directories still to be entered and listed
    std::vector<WorkItem> entered_;       // directories entered, removed last-in first-out
    DeleteTally tally_;
    bool running_ = false;
};

} // namespace brisk
