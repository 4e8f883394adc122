#pragma once
#include "session/chain_context.h"
#include "session/request_chain.h"
#include "session/transfer_item.h"
#include "session/transfer_type.h"
#include "session/transfer_workers.h"

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace brisk {

// Uploads and downloads of files and whole trees. One directory is visited at a time: it is
// entered and listed, its files are queued, each file passes the overwrite check, gets its
// transfer type and is sent or received; directories found are visited after it. At the end the
// remote panel returns to the directory the transfer started in.
class TransferChain : public RequestChain {
public:
    explicit TransferChain(ChainContext& ctx) : RequestChain(ctx) {}

    TransferType type = TransferType::Auto;
    bool overwriteAll = false;    // "All" in the overwrite prompt: no more prompts in this transfer
    bool resumeThis = false;      // the current file is resumed (REST)
    // Files at once, each on a connection of its own, while this connection walks the tree; 1:
    // every file on this connection.
    int parallel = 1;
    // When set, files go to the transfer queue instead (non-zero: taken) and the chain ends once
    // it has walked the tree, leaving this connection free.
    std::function<uint64_t(const WorkerTask&)> toQueue;

    void startUpload(std::vector<TransferFile> files, std::vector<TransferDir> dirs);
    void startDownload(std::vector<TransferFile> files, std::vector<TransferDir> dirs);

    // Completions: a file sent or received, and the listing of a directory the chain entered.
    void fileDone();
    void listingDone();
    // A tree upload's CWD failed: the missing directory is created, level by level when the
    // site's MkDir option asks for it.
    void uploadParentEntered();
    void uploadDirMade();
    // The CWD into a directory the chain has just made: nothing there to list, the files follow.
    // False when the CWD was into a directory that was there before.
    bool madeDirEntered();

    bool running() const override { return direction_ != Direction::None; }
    bool downloading() const { return direction_ == Direction::Download; }
    const TransferTally& tally() const { return tally_; }
    void failed(TFtpRequest kind) override;
    void stoppedRequestDone(bool failed) override;

    // The transfer type for `fileName` (ASCII or binary), switching the engine when it differs.
    // False when the switch failed.
    bool SelectTransferType(const std::string& fileName);
    bool wantsAscii(const std::string& fileName) const;

private:
    enum class Direction { None, Upload, Download };

    void begin(Direction direction, std::vector<TransferFile> files, std::vector<TransferDir> dirs);
    void next();
    void enterUploadDir();
    void enterDownloadDir();
    void sendFile();
    void receiveFile();
    void scanDownloadListing();
    void queueRemoteEntry(const RemoteEntry& entry, const std::string& localDir);
    bool makeLocalDir(const std::string& path);
    void uploadCwdFailed();
    void dropCurrentDir(MainExtraMessage why, const std::string& shown);
    std::string failedFileName() const;
    void failRemaining();
    bool commitDownload();
    void countFileDone();

    // Files handed to the worker connections (transfer_parallel.cpp).
    void startWorkers();
    void handOutFiles();
    std::optional<WorkerTask> taskOf(const TransferFile& file) const;
    void workerFinished(const TransferWorkers::Outcome& outcome);
    void tasksReturned(std::vector<WorkerTask> tasks);
    void wakeWhenIdle();
    void stopWorkers();

    // The overwrite check of the first queued file; it may skip files, rename the target or
    // empty the queues.
    void CheckOverwrite();
    bool targetExists(const TransferFile& file) const;
    bool localTargetIsLink(const TransferFile& file);
    bool answerOverwrite(OverwriteChoice choice, const std::string& newPath);
    bool RemoteFileExists(const std::string& path) const;

    void FinishTransfer();
    void end() override { FinishTransfer(); }
    void dropWork() override;

    Direction direction_ = Direction::None;
    std::deque<TransferFile> files_;
    std::deque<TransferDir> dirs_;
    TransferDir currentDir_;        // the directory being visited
    TransferFile receiving_;        // the file being downloaded
    bool fileUnderWay_ = false;     // a GET or PUT of this connection has not completed yet
    bool remoteDirMade_ = false; // the upload's current remote directory was made by this chain: empty
    TransferTally tally_;
    std::string uploadTargetDir_;   // the directory the upload left, or the one to create next
    std::shared_ptr<TransferWorkers> workers_;
    bool awaitingWorkers_ = false;  // this connection has nothing left to do until a worker ends
};

} // namespace brisk
