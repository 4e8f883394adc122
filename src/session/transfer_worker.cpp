#include "session/transfer_worker.h"

#include "platform/event_loop.h"
#include "session/download_target.h"

namespace brisk {

namespace {

void copySettings(const TFtpClient& from, TFtpClient& to)
{
    to.HostName = from.HostName;
    to.Port = from.Port;
    to.UserName = from.UserName;
    to.PassWord = from.PassWord;
    to.Options = from.Options;
    to.MultiThreaded = from.MultiThreaded;
    to.SetConnectionType(from.ConnectionType());
    to.ProxyServer = from.ProxyServer;
    to.ProxyPort = from.ProxyPort;
    to.SetSocksServer(from.SocksServer());
    to.SetSocksPort(from.SocksPort());
    to.SetSocksUserCode(from.SocksUserCode());
    to.SetSocksPassword(from.SocksPassword());
    to.SetPassive(from.Passive());
    to.Security = from.Security;
    to.TrustStorePath = from.TrustStorePath;
    to.Remarks = from.Remarks;
    // Shared budgets: the limits hold for all connections together.
    to.DownloadRate = from.DownloadRate;
    to.UploadRate = from.UploadRate;
}

} // namespace

TransferWorker::TransferWorker(const TFtpClient& session, std::string sessionFingerprint, int timeoutSeconds)
    : sessionFingerprint_(std::move(sessionFingerprint)), timeoutSeconds_(timeoutSeconds)
{
    copySettings(session, ftp_);
    watchdog_.setInterval(1000);
    watchdog_.onTick = [this] { watch(); };
    ftp_.OnCertificateQuestion = [this](const CertificateQuestion& question) {
        const bool same = !sessionFingerprint_.empty() && question.fingerprint == sessionFingerprint_;
        return same ? CertificateAnswer::Once : CertificateAnswer::Cancel;
    };
    ftp_.OnDisplay = [this](TCustomFtpCli*, std::string& text) {
        heard();
        if (onDisplay)
            onDisplay(text);
    };
    ftp_.OnProgress = [this](TCustomFtpCli*, int64_t count, bool& abort) {
        heard();
        if (onProgress)
            onProgress(count);
        abort = stopRequested && stopRequested();
    };
    ftp_.OnRequestDone = [this](TCustomFtpCli*, TFtpRequest kind, uint16_t error) { requestDone(kind, error); };
    // A request the engine refuses before it starts (a name no command can carry, say) ends here.
    ftp_.OnError = [this](TCustomFtpCli*, std::string& text) {
        if (!done_)
            return;
        failure_ = text;
        finish(false);
    };
}

TransferWorker::~TransferWorker()
{
    alive_.reset();
    // The engine outlives the members its callbacks use.
    ftp_.OnRequestDone = nullptr;
    ftp_.OnError = nullptr;
    ftp_.OnDisplay = nullptr;
    ftp_.OnProgress = nullptr;
    ftp_.OnCertificateQuestion = nullptr;
}

void TransferWorker::detach()
{
    watchdog_.setEnabled(false);
    done_ = nullptr;
    onDisplay = nullptr;
    onProgress = nullptr;
    stopRequested = nullptr;
}

// The engine waits as long as the server keeps silent; a worker must not.
void TransferWorker::watch()
{
    if (!done_ || timeoutSeconds_ <= 0 || tickCount() - lastHeard_ < uint64_t(timeoutSeconds_) * 1000u)
        return;
    timedOut_ = true;
    ftp_.AbortAsync();
}

void TransferWorker::begin(Done done)
{
    done_ = std::move(done);
    failure_.clear();
    timedOut_ = false;
    heard();
    watchdog_.setEnabled(timeoutSeconds_ > 0);
}

void TransferWorker::open(Done done)
{
    begin(std::move(done));
    try {
        ftp_.ConnectAsync();
    } catch (const std::exception& e) {
        failure_ = e.what();
        finish(false);
    }
}

void TransferWorker::run(const WorkerTask& task, Done done)
{
    task_ = task;
    renameStep_ = false;
    begin(std::move(done));
    ftp_.Binary = !task.ascii;
    typeStep_ = true;
    ftp_.TypeSetAsync();   // ends at once when the server has that type already
}

void TransferWorker::startTransfer()
{
    ftp_.HostFileName = task_.remotePath;
    if (task_.upload) {
        ftp_.LocalFileName = task_.localPath;
        ftp_.ResumeAt = 0;
        return task_.resume ? ftp_.RestPutAsync() : ftp_.PutAsync();
    }
    const DownloadStart start = PrepareDownload(ftp_, task_.localPath, task_.size, task_.resume);
    ftp_.AskModifiedTime = !task_.exactTime;
    StartPreparedDownload(ftp_, start);
}

void TransferWorker::startRename()
{
    renameStep_ = true;
    ftp_.HostFileName = task_.remotePath;
    ftp_.LocalFileName = task_.renameTo;
    ftp_.RenAsync();
}

void TransferWorker::requestDone(TFtpRequest, uint16_t error)
{
    if (!done_)
        return;
    if (error != 0) {
        failure_ = timedOut_ ? "426 Timeout" : ftp_.ErrorMessage();
        return settleFailure();
    }
    if (typeStep_) {
        typeStep_ = false;
        return startTransfer();
    }
    if (task_.upload && !task_.renameTo.empty() && !renameStep_)
        return startRename();
    finish(true);
}

// A server whose session dies says so first ("500 OOPS", "421") and closes right after: the
// failure is reported once the close had its moment, so that it counts as a lost connection.
void TransferWorker::settleFailure()
{
    if (!ftp_.Connected())
        return finish(false);
    std::weak_ptr<bool> alive = alive_;
    EventLoop::instance().addTimer(kSettleMs, [this, alive] {
        if (alive.lock() && done_)
            finish(false);
    });
}

void TransferWorker::finish(bool ok)
{
    typeStep_ = false;
    watchdog_.setEnabled(false);
    Done done = std::move(done_);
    done_ = nullptr;
    done(ok);
}

void TransferWorker::quit()
{
    if (ftp_.Connected() && ftp_.State() == fsReady && !busy())
        ftp_.QuitAsync();
}

} // namespace brisk
