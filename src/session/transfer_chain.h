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

    bool running() const override { return direction_ != Direction::None; }
    bool downloading() const { return direction_ == Direction::Download; }
    const TransferTally& tally() const { return tally_; }
    void stoppedRequestDone(bool failed) override;

    // The transfer type for `fileName`: ASCII, else binary.
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
    void uploadDirEntered();
    void uploadCwdFailed();
    void makeUploadDir(const std::string& name, const std::string& dir);
    FtpConnection::Done fileDone(std::string shown);
    void skipCurrentDir(MainExtraMessage why, const std::string& shown);
    void dropCurrentDir(MainExtraMessage why, const std::string& shown);
    void failRemaining();
    bool commitDownload();
    void countFileDone(bool ok);

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
    std::string fileUnderWay_;      // the GET or PUT of this connection not completed yet, by name
    bool remoteDirMade_ = false; // the upload's current remote directory was made by this chain: empty
    TransferTally tally_;
    std::string uploadTargetDir_;   // the directory the upload left, or the one to create next
    std::shared_ptr<TransferWorkers> workers_;
    bool awaitingWorkers_ = false;  // this connection has nothing left to do until a worker ends
};

} // namespace brisk
