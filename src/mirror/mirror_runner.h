#pragma once
#include "mirror/mirror_intake.h"
#include "mirror/mirror_listed_names.h"
#include "mirror/mirror_run.h"
#include "mirror/mirror_task.h"
#include "session/session_controller.h"
#include "session/transfer_workers.h"

#include <cstdint>
#include <functional>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace brisk {

// Runs a mirror task on the open session's connection, one posted step at a time: the remote
// root is listed and planned, then each operation runs and its completion leads to the next; each
// directory entered is listed and its plan inserted. The session's one operation of this kind for
// the runner's lifetime: Stop reaches it through the session.
class MirrorRunner : public SessionOperation {
public:
    MirrorRunner(SessionController& session, const TRecMirror& task);
    ~MirrorRunner() override;
    MirrorRunner(const MirrorRunner&) = delete;
    MirrorRunner& operator=(const MirrorRunner&) = delete;

    // Starts the run from the event loop, when the session is ready.
    void start();
    bool running() const override { return active_; }
    // A dry run lists and plans but changes nothing on either side and keeps the last state file.
    void setDryRun(bool on) { dryRun_ = on; }
    // Files transferred at once, each on a connection of its own; 1: all on the session's.
    void setParallel(int files) { parallel_ = files; }
    // The last run, readable until the next one starts; null before the first.
    const TMirrorRun* run() const { return run_.get(); }

private:
    // Where an upload stands: sent under its temporary name, being renamed to its own, sent under its
    // own name (at once, or after a refused rename), or over with what it left on the server being
    // deleted.
    enum class UploadStep : uint8_t { None, Temporary, Rename, Direct, Fallback, Tidy };

    // What a directory's listing is planned as: the task's root, a directory the run entered (its
    // plan comes before the rest), or a remote directory under removal.
    enum class Listed { Root, Entered, Removal };

    void begin();
    void listHere(Listed how);
    void plan(Listed how);
    void executeNext();
    void succeeded();
    void failed(TFtpRequest kind);
    void end();
    // Stop: the run ends at its next step; true when a file transfer is under way.
    bool stop() override;
    void post(void (MirrorRunner::*step)());
    FtpConnection::Done later(std::function<void(bool ok)> step);
    FtpConnection::Done succeedsOr(TFtpRequest kind);
    FtpConnection::Done deleted();
    FtpConnection::Done afterLeaving(TFtpRequest kind);

    void execute(TMirrorRec& r);
    bool skipWhenDry(TMirrorRec& r);
    void transfer(TMirrorRec& r);
    void receive(const TMirrorRec& r, const std::string& localPath);
    void upload(const TMirrorRec& r);
    void sendFile(const TMirrorRec& r, const std::string& remoteName, UploadStep step);
    void renameUpload(const TMirrorRec& r);
    void renameRefused(const TMirrorRec& r);
    bool tidyFailedUpload(const TMirrorRec& r);
    // Deletes `remoteName` when the connection still stands; true when the DELE went out.
    bool tidy(const std::string& remoteName);
    bool overwriteCheck(const TMirrorRec& r);
    bool commitDownload(const TMirrorRec& r);
    // What keeps the downloaded part file from becoming `r`'s target; empty once it has.
    std::string downloadProblem(const TMirrorRec& r, bool binary, int64_t remoteModified);
    // Sent under the temporary name and renamed once complete.
    bool sendsTemporary(const TMirrorRec& r) const;
    RemoteListing listedEntry(const std::string& name);
    void selectType(const std::string& name);
    void removeRemoteDir(TMirrorRec& r);
    void enterRemoteDir(TMirrorRec& r, Listed how);
    void leaveRemoteDir(TMirrorRec& r);
    void removalListed();
    void localStep(TMirrorRec& r);
    void deleteRemoteFile(TMirrorRec& r);
    // Back to the directory the run stands in, after a change of directory that failed.
    void resyncRemoteDir();
    // A directory entered but not listed: it fails and the run leaves it again.
    void unlisted(const TMirrorRec& r);
    void leaveFailed(TFtpRequest kind);
    void refuse(const std::vector<MirrorRefusal>& refused);
    // Counts a failure of `name` in the current directory (the remote root when empty) and why.
    void noteFailure(const std::string& name, const std::string& why);
    std::string pathBelowRoot(const std::string& name) const;
    void put(const TMirrorRec& r) { run_->Items.PutItem(run_->Current, r); }
    TMirrorRec current() const;
    bool confirm(const std::string& path, bool isDirectory);

    // A directory's transfers on connections of their own (mirror_runner_parallel.cpp). This
    // connection goes on to the directory's next transfer at once; any other step waits until the
    // directory's transfers have ended, so that a deletion never comes before them and an upload's
    // rename runs here in the directory it was sent to.
    void startWorkers();
    bool handOut(TMirrorRec& r);
    void workerFinished(const TransferWorkers::Outcome& outcome);
    void tasksReturned(std::vector<WorkerTask> tasks);
    bool runStepAfterWorker();
    bool awaitWorkers(bool found, int next);
    bool workersBusy() const;
    void wakeFromWorkers();
    void stopWorkers();

    SessionController& session_;
    ChainContext& ctx_;
    const TRecMirror& task_;
    std::unique_ptr<TMirrorRun> run_;
    bool active_ = false;
    bool dryRun_ = false;
    bool overwriteAll_ = false;
    bool resumeThis_ = false;
    bool rmdSent_ = false;          // an emptied remote directory's RMD is under way
    bool upByPath_ = false;         // CDUP was refused; the parent is being entered by its path
    bool renameRefused_ = false;    // the server refused to rename an upload: later ones go direct
    UploadStep upload_ = UploadStep::None;
    MirrorListedNames listedNames_;

    // A file on a worker: its record, and whether it goes under the temporary name.
    struct HandedFile {
        int index = 0;
        bool temporary = false;
    };
    // What a worker's upload leaves for this connection: the rename of its record's file, or the
    // deletion of what a failed one left on the server.
    struct StepAfterWorker {
        int index = 0;
        bool rename = false;
        std::string remoteName;
    };
    int parallel_ = 1;
    std::shared_ptr<TransferWorkers> workers_;
    std::map<std::pair<bool, std::string>, HandedFile> handed_;   // by upload and remote path
    std::deque<StepAfterWorker> afterWorkers_;
    std::set<int> checked_;          // records back from the workers whose overwrite check was made
    bool awaitingWorkers_ = false;   // the next step waits for the workers
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace brisk
