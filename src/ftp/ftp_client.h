#pragma once
#include "ftp/ftp_features.h"
#include "ftp/ftp_line_reader.h"
#include "ftp/ftp_remarks.h"
#include "ftp/ftp_security.h"
#include "ftp/ftp_types.h"
#include "ftp/rate_budget.h"
#include "net/wsocket.h"
#include "platform/local_file.h"

#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace brisk {

class TCustomFtpCli;

using TFtpDisplay = std::function<void(TCustomFtpCli* sender, std::string& msg)>;
using TFtpCommand = std::function<void(TCustomFtpCli* sender, std::string& cmd)>;
using TFtpNotify = std::function<void(TCustomFtpCli* sender)>;
using TFtpSessionEvent = std::function<void(TCustomFtpCli* sender, uint16_t error)>;
using TFtpRequestDone = std::function<void(TCustomFtpCli* sender, TFtpRequest rqType, uint16_t error)>;
using TFtpProgress = std::function<void(TCustomFtpCli* sender, int64_t count, bool& abort)>;
using TFtpReadyToTransmit = std::function<void(TCustomFtpCli* sender, bool& cancel)>;
using TFtpBgException = std::function<void(TCustomFtpCli* sender, const std::exception& e, bool& canClose)>;

// The FTP protocol engine. Every operation is a request that sends one or more commands on the control
// connection and ends, later, with exactly one OnRequestDone delivered through the event loop.
class TCustomFtpCli {
public:
    TCustomFtpCli();
    virtual ~TCustomFtpCli();
    TCustomFtpCli(const TCustomFtpCli&) = delete;
    TCustomFtpCli& operator=(const TCustomFtpCli&) = delete;

    // Connection and primitive requests (one command each).
    void OpenAsync();
    void UserAsync();
    void PassAsync();
    void CwdAsync();
    void CDupAsync();
    void PwdAsync();
    void SystAsync();
    void SizeAsync();
    void MkdAsync();
    void RmdAsync();
    void DeleAsync();
    void RenFromAsync();
    void RenToAsync();
    void TypeSetAsync();
    void TypeBinaryAsync();
    void TypeAsciiAsync();
    void QuoteAsync();
    void QuitAsync();
    void AbortAsync();
    void PortAsync();
    void RestAsync();

    // Multi-step operations: one request-done at the end.
    void ConnectAsync();
    void ReceiveAsync();
    void GetAsync();
    void RestGetAsync();
    void RestartGetAsync();
    void PutAsync();
    void RestPutAsync();
    void RestartPutAsync();
    void TransmitAsync();
    void AppendAsync();
    void AppendFileAsync();
    void DirAsync();
    void DirectoryAsync();
    void LsAsync();
    void ListAsync();
    void SystemAsync();
    void FileSizeAsync();
    void MkdirAsync();
    void RmdirAsync();
    void DeleteAsync();
    void RenAsync();
    void RenameAsync();
    void DoQuoteAsync();

    // Synchronous forms: start the request, then run the event loop until it ends or Timeout passes.
    bool Cwd();
    bool TypeSet();
    bool TypeBinary();
    bool TypeAscii();
    bool Rmd();
    bool Abort();
    // The same wait for any request the caller starts (used by tools that drive the engine step by step).
    bool Synchronize(const std::function<void()>& startRequest);
    // Starts a request; false when it was refused before anything went out (busy, not connected,
    // an unsafe argument), in which case no completion follows.
    bool TryStart(const std::function<void()>& startRequest);

    // Properties
    std::string HostName;
    std::string Port = "ftp";
    std::string UserName;
    std::string PassWord;
    std::string HostDirName;
    std::string HostFileName;
    std::string LocalFileName;
    bool DisplayFileFlag = false;
    bool Binary = true;
    TFtpOptions Options = ftpAcceptLF;
    std::string ProxyServer;
    std::string ProxyPort = "ftp";
    int Timeout = 15;
    bool MultiThreaded = false;
    bool ListHiddenFiles = false;
    int64_t ResumeAt = 0;
    // The size the file being downloaded must have in the end (from SIZE, MLSD or the listing, in
    // binary mode), -1 when not known. Set before each download; the end of the request resets it.
    // A download of another size fails, even after "226"; with the size unknown, so does one whose
    // TLS data connection ended without its close alert.
    int64_t ExpectedSize = -1;
    // A download asks MDTM for the file's time unless its caller knows that time to the second already
    // (an MLSD listing gave it); set for one download request, which puts it back.
    bool AskModifiedTime = true;
    // The pace of downloads and of uploads; a budget given to several engines limits them together.
    // None: as fast as the link goes.
    std::shared_ptr<RateBudget> DownloadRate;
    std::shared_ptr<RateBudget> UploadRate;
    // A listing (LIST, NLST, MLSD into a file) that grows past this many bytes fails; 0 means no limit.
    int64_t MaxListingSize = int64_t(1) << 30;
    // The texts of the engine's own log lines; English unless the caller hands it others.
    FtpRemarks Remarks;
    int64_t ByteCount = 0;

    const std::string& ErrorMessage() const { return errorMessage_; }
    TFtpClientState State() const { return state_; }
    int StatusCode() const { return statusCode_; }
    const std::string& LastResponse() const { return lastResponse_; }
    TFtpRequest RequestType() const { return requestType_; }
    bool Connected() const { return controlSocket_.State() != wsClosed; }
    const std::string& DirResult() const { return dirResult_; }
    int64_t SizeResult() const { return sizeResult_; }
    bool Passive() const { return passive_; }
    void SetPassive(bool value);
    TFtpConnectionType ConnectionType() const { return connectionType_; }
    void SetConnectionType(int value);
    TFtpShareMode ShareMode() const { return shareMode_; }
    void SetShareMode(int value);
    TWSocket& ControlSocket() { return controlSocket_; }
    const TWSocket& ControlSocket() const { return controlSocket_; }
    // What the server listed in its FEAT reply after the login; empty before it and when refused.
    const FtpFeatures& Features() const { return features_; }
    // The remote file's time (UTC, seconds since the epoch) that MDTM gave after the last download;
    // 0 when the server offers no MDTM or did not answer it.
    int64_t RemoteModified() const { return remoteModified_; }
    // The server has the transfer type `Binary` asks for: a TYPE would change nothing.
    bool TypeIsSet() const { return serverType_ == WantedType(); }
    // Listings use MLSD where the server offers it (and until it refuses it), unless this is off.
    bool UseMlsd = true;
    // The last listing was sent as MLSD: its lines are facts and a name, not a directory listing.
    bool ListingIsMlsd() const { return listingMlsd_; }
    TWSocket& DataSocket() { return dataSocket_; }

    // Events
    TFtpDisplay OnDisplay;
    TFtpDisplay OnDisplayFile;
    TFtpDisplay OnError;
    TFtpCommand OnCommand;
    TFtpNotify OnResponse;
    TFtpSessionEvent OnSessionConnected;
    TFtpSessionEvent OnSessionClosed;
    TFtpRequestDone OnRequestDone;
    TFtpNotify OnStateChange;
    TFtpProgress OnProgress;
    TFtpReadyToTransmit OnReadyToTransmit;
    TFtpBgException OnBgException;

protected:
    using Continuation = void (TCustomFtpCli::*)();

    void SetState(TFtpClientState value);
    void HandleError(const std::string& msg);
    void Display(const std::string& line);
    void SetErrorMessage(const std::string& line);
    void ExecAsync(TFtpRequest rq, const std::string& cmd, std::initializer_list<int> okResponses,
                   Continuation followUp = nullptr);
    void SendCommand(std::string cmd);
    void NextExecAsync();
    void TakeReplyData();
    void TriggerRequestDone(uint16_t error);
    void DeliverRequestDone(uint16_t error);
    void ControlSocketClose();

    TFtpClientState state_ = fsReady;
    TFtpRequest requestType_ = ftpNone;
    TFtpStep fctPrv_ = stepNone;     // primitive in flight, for the data its reply carries
    std::string lastResponse_;
    std::string errorMessage_;
    int statusCode_ = 0;
    int requestResult_ = 0;
    bool requestDoneFlag_ = true;    // nothing in progress yet
    bool connected_ = false;         // the control connection's TCP connect succeeded
    std::array<int, 17> okResponses_{};
    Continuation next_ = nullptr;     // runs on the next final reply line
    Continuation followUp_ = nullptr; // runs instead of request-done after a good reply
    Continuation afterPipelined_ = nullptr; // next_ once the reply to a command sent ahead has come
    Continuation doneAsync_ = nullptr; // sequence continuation
    bool seqRunning_ = false;
    std::string savedLastResponse_;
    int savedStatusCode_ = -1;
    std::string passiveReply_;
    std::string dirResult_;
    int64_t sizeResult_ = 0;
    bool passive_ = false;
    TFtpConnectionType connectionType_ = ftpDirect;
    TFtpShareMode shareMode_ = ftpShareExclusive;
    uint64_t timeStop_ = 0;          // deadline of a running synchronous wait
    bool usageErrorRaised_ = false;
    bool quitting_ = false;          // the control connection is being closed after QUIT's reply
    std::string lastUsageError_;

private:
    struct Alive {};

    // Sequences
    void HighLevelAsync(TFtpRequest rq, uint32_t steps);
    void NextStep();
    void StartStep(TFtpStep step, TFtpStep previous);
    void EndSequenceOnUsageError(bool firstStep);
    TFtpStep PickStep();

    // Data connection and transfers
    void PrepareDataSocket();
    bool ConnectDataPassive(void (TCustomFtpCli::*connected)(uint16_t));
    void DataConnectFailed(uint16_t error);
    bool AdoptAcceptedDataConnection();
    void StartReceive(TFtpRequest rq, const std::string& command);
    void SendReceiveCommand();
    void ReceiveConnected(uint16_t error);
    void ReceiveAccept();
    void ReceiveFirstReply();
    void ReceiveSecondReply();
    void ReceiveData();
    void ReceiveClosed(uint16_t error);
    void EndFailedReceive();
    void AttachReceiveHandlers();
    void TakeReceived(const char* data, int len);
    void WriteReceived(const char* data, int len);
    void ShowReceivedLines(const char* data, int len);
    void DrainReceived();
    bool ListingOverLimit() const;
    bool ReceivingListing() const;
    bool EmptyListingTarget();
    void JudgeReceived();
    void JudgeListing();
    void JudgeDownload();
    void FailReceived(int code, const std::string& text);
    bool OpenLocalTarget();
    void FailLocalOpen();
    void CreateEmptyTarget();
    void NoteDataError(int code, const std::string& text);
    std::string DataErrorText(int code) const;
    void AwaitOwedReply();
    std::string DataPeerAddress();
    std::string ListenForActiveData();
    char* TransferBuffer();
    void StartSend(bool append);
    void SendConnected(uint16_t error);
    void SendAccept();
    void SendFirstReply();
    void SendSecondReply();
    void SendNextBlock(uint16_t error);
    void SendClosed(uint16_t error);
    void CheckTransferEnd();
    void PostStartSending();
    // Resumed transfers (ftp_resume.cpp).
    void RestStep();
    void RestReply();
    void ResumePointReply();
    bool ResumeWithRestInstead();
    void VerifyResumedSize();
    void ResumedSizeReply();
    int64_t resumeFrom_ = 0;   // where a resumed upload starts, from SIZE; 0: the whole file
    // The request fails with `code`; the remark, if any, goes to the log.
    void TransferFailed(int code, std::optional<FtpRemark> remark = std::nullopt);
    bool ReportProgress();
    void LogStatistics();
    void DestroyLocalStream();
    bool CloseLocalStream();
    void ClearTransferFlags();

    void ControlSocketDnsLookupDone(uint16_t error);
    void ControlSocketSessionConnected(uint16_t error);
    void ControlSocketDataAvailable(uint16_t error);
    void ControlSocketSessionClosed(uint16_t error);
    void HandleReplyLine(const std::string& line);
    void HandleBanner(const std::string& line);
    bool EndsReply(const std::string& line);
    bool ReplyAccepted() const;
    void EndUnsent(uint16_t error, const std::string& reply);
    void CloseOnProtocolError(const std::string& reason);
    bool SequenceArgumentsSafe(uint32_t steps) const;
    void RefuseUnsafeCommand(TFtpRequest rq);
    void FailConnect(uint16_t error, const std::string& description);
    void StartConnect();
    bool WaitUntilReady();
    std::string UserCommand() const;
    char WantedType() const { return Binary ? 'I' : 'A'; }
    void TypeConfirmed();
    void PortStep();
    void TimeAskedAhead();
    bool WaitForRate(RateBudget* budget, std::function<void()> resume);

    uint32_t steps_ = 0;
    TFtpStep lastStep_ = stepNone;
    int seqResult_ = 0;

    std::string dataCommand_;
    bool append_ = false;
    std::unique_ptr<LocalFile> localStream_;
    bool finalReply_ = false;
    bool dataClosed_ = false;
    bool eof_ = false;
    bool storAnswered_ = false;
    bool uploadOpen_ = false;
    int dataError_ = 0;
    int failedReply_ = 0;            // a failing final reply waiting for the data connection to finish
    uint64_t failGraceTimer_ = 0;
    uint64_t startTime_ = 0;
    uint64_t stopTime_ = 0;
    // Bytes per read from the data connection and per block handed to it. A read's bytes are copied on
    // to the file at once, so it stays small enough to be still in the cache then; an upload block is
    // larger, so a gigabyte takes few rounds of the loop. Either way one event's work stays short.
    static constexpr int kReceiveBlock = 64 * 1024;
    static constexpr int kSendBlock = 256 * 1024;
    bool receiving_ = false;
    bool transferAnswered_ = false;  // 150/125 came
    bool dataCutShort_ = false;      // a protected data connection ended without its TLS close alert
    std::string transferReply_;      // the final reply of the transfer
    bool dataCommandSent_ = false;   // the server owes a reply to RETR/LIST/NLST/STOR/APPE
    bool targetOpened_ = false;      // the local file of a download has been opened (and cut)
    bool localFailed_ = false;
    std::string expectedDataPeer_;   // the only address an active data connection is taken from
    std::vector<char> transferBuffer_;
    uint64_t owedReplyTimer_ = 0;
    uint64_t transferSerial_ = 0;

    TWSocket controlSocket_;
    TWSocket dataSocket_;
    FtpLineReader replyReader_;
    int multiLineCode_ = 0;          // code of the multi-line reply being read, 0 outside one
    std::shared_ptr<Alive> alive_ = std::make_shared<Alive>();

    // Additions beyond the basic command set, each used only when the server offers it
    // (ftp_extensions.cpp).
    void ForgetServer();
    bool ServerOffersStep(TFtpStep step) const;
    void ExtensionStep(TFtpStep step);
    void OptionalReply();
    void KeepReplyBody(const std::string& line);
    bool SetsTimeWithMdtm() const;
    std::string ListingCommand();
    bool RetryListingWithList();
    bool UsesExtendedPassive() const;
    void ExtendedPassiveReply();
    bool epsvRefused_ = false;
    bool listingMlsd_ = false;
    bool mlsdRefused_ = false;
    bool listOnce_ = false;   // the next listing is LIST: MLSD was refused for this directory
    FtpFeatures features_;
    char serverType_ = 0;            // the TYPE the server last confirmed, 'A' or 'I'; 0: not known
    uint64_t commandsSent_ = 0;
    std::vector<std::string> replyBody_;   // lines before the final one of a FEAT reply
    std::string serverBanner_;
    int64_t remoteModified_ = 0;

    // SOCKS settings (ftp_socks_settings.cpp)
public:
    const std::string& SocksServer() const { return socksServer_; }
    void SetSocksServer(const std::string& value);
    const std::string& SocksPort() const { return socksPort_; }
    void SetSocksPort(const std::string& value);
    const std::string& SocksUserCode() const { return socksUserCode_; }
    void SetSocksUserCode(const std::string& value);
    const std::string& SocksPassword() const { return socksPassword_; }
    void SetSocksPassword(const std::string& value);

private:
    void WriteSocksKind();
    // Right before each connect: a socket forgets its SOCKS server, port and level after a connection.
    void ApplySocksSettings(TWSocket& socket);
    std::string socksServer_, socksPort_, socksUserCode_, socksPassword_;

    // TLS (ftp_tls.cpp)
public:
    TFtpSecurity Security = ftpSecurityPlain;
    // The file of certificates the user trusts always (tls_trust_store.h); empty: each one is asked about.
    std::string TrustStorePath;
    TFtpCertificateQuestion OnCertificateQuestion;
    bool DataProtected() const { return dataProtected_; }
    // The TLS step of a login, after the banner: AUTH TLS (explicit) or PBSZ and PROT (implicit).
    void SecureAsync();

private:
    void ResetTls();
    void AuthTlsReply();
    void StartControlTls();
    void ControlTlsDone(uint16_t error);
    void FailTls(const std::string& reason);
    bool CertificateAccepted();
    std::string TrustedFingerprint(const std::string& host) const;
    std::string TrustStoreHost() const;
    void ProtectionSizeSet();
    void DataProtectionSet();
    void SecureDataConnection();
    void DataCommandSent();
    void DataTlsEstablished();
    void AllowDataTls();
    void StartDataTls();
    std::unique_ptr<TlsClientContext> tls_;
    bool dataProtected_ = false;
    bool dataTlsWaiting_ = false; // the data connection stands, its handshake has not started
    bool dataTlsDue_ = false;     // the handshake may start: the command was answered, or waited for long enough
    bool dataHeld_ = false;       // a received connection is paused until its handshake starts
    bool paced_ = false;          // the data connection waits for the rate budget
    bool serverAwaitsDataTls_ = false; // this server answers a transfer command only after the handshake
    uint64_t dataTlsTimer_ = 0;
    // How long a transfer command's answer is awaited before the handshake starts without it.
    static constexpr uint64_t kDataTlsWaitMs = 300;
};

class TFtpClient : public TCustomFtpCli {};

} // namespace brisk
