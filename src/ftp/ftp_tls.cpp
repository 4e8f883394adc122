#include "ftp/ftp_client.h"

#include "ftp/ftp_reply.h"
#include "net/tls_trust_store.h"
#include "platform/event_loop.h"
#include "platform/ticks.h"

namespace brisk {

void TCustomFtpCli::ResetTls()
{
    dataProtected_ = false;
    serverAwaitsDataTls_ = false;
    tls_.reset();
    if (Security != ftpSecurityPlain)
        tls_ = std::make_unique<TlsClientContext>();
}

// Explicit TLS asks for it; implicit TLS has it already and only sets up the data connections' protection.
void TCustomFtpCli::SecureAsync()
{
    fctPrv_ = stepSecure;
    if (!seqRunning_) {
        requestType_ = ftpOpenAsync; // the last part of opening the session
        errorMessage_.clear();
    }
    if (Security == ftpSecurityPlain) {
        requestDoneFlag_ = false;
        requestResult_ = 0;
        TriggerRequestDone(0);
        return;
    }
    if (Security == ftpSecurityImplicit) {
        ExecAsync(requestType_, "PBSZ 0", {200}, &TCustomFtpCli::ProtectionSizeSet);
        return;
    }
    ExecAsync(requestType_, "AUTH TLS", {234});
    if (next_ == &TCustomFtpCli::NextExecAsync)
        next_ = &TCustomFtpCli::AuthTlsReply;
}

void TCustomFtpCli::AuthTlsReply()
{
    Display("< " + lastResponse_);
    statusCode_ = FtpReplyCode(lastResponse_);
    if (statusCode_ == 234 && replyReader_.room() != FtpLineReader::kCapacity)
        return FailTls("The server sent clear text after accepting TLS"); // injected: none of it is believed
    if (statusCode_ == 234)
        return StartControlTls();
    if (Security == ftpSecurityExplicitRequired || statusCode_ < 400) {
        // Nothing else is sent: neither the user name nor the password goes out in clear text.
        FailTls("TLS is required, but the server refused it: " + lastResponse_);
        return;
    }
    // A server whose certificate the user trusted speaks TLS: its refusal is an attack or a fault.
    if (!TrustedFingerprint(TrustStoreHost()).empty())
        return FailTls("The server refused TLS, but its certificate is trusted for " + TrustStoreHost() +
                       "; the session ends: " + lastResponse_);
    Display("! " + Remarks[frNoTls]);
    requestResult_ = 0;
    TriggerRequestDone(0);
}

void TCustomFtpCli::StartControlTls()
{
    controlSocket_.OnTlsDone = [this](TCustomWSocket*, uint16_t error) { ControlTlsDone(error); };
    controlSocket_.StartTls(*tls_, HostName, TlsRole::Control);
}

// The session ends with the reason as its error and kTlsFailed as the request's; the close ends the request.
void TCustomFtpCli::FailTls(const std::string& reason)
{
    Display("! " + reason);
    if (requestResult_ == 0) {
        lastResponse_ = "500 " + reason;
        statusCode_ = 500;
        requestResult_ = kTlsFailed;
        SetErrorMessage(lastResponse_);
    }
    if (controlSocket_.State() != wsClosed)
        controlSocket_.Close();
}

void TCustomFtpCli::ControlTlsDone(uint16_t error)
{
    if (state_ == fsAbort)
        return; // the user's stop closed the connection, not the server
    if (error != 0)
        return FailTls(controlSocket_.TlsError());
    Display(Remarks.format(frTlsEstablished, {controlSocket_.TlsDescription()}));
    // The question may keep the event loop running (the window's modal box does): until it is answered,
    // nothing the server sends is read, so nothing goes out to a server the user has not accepted.
    controlSocket_.Pause();
    const bool accepted = CertificateAccepted();
    if (Timeout > 0) // the user's time, not the server's, may have passed
        timeStop_ = tickCount() + uint64_t(Timeout) * 1000u;
    if (state_ == fsAbort || controlSocket_.State() != wsConnected)
        return; // stopped while the question was open
    if (!accepted)
        return FailTls("Certificate refused: the server's identity could not be confirmed");
    tls_->SetServerFingerprint(controlSocket_.PeerCertificate().details.fingerprint);
    controlSocket_.Resume();
    if (Security == ftpSecurityImplicit)
        return; // the banner follows
    SetState(fsInternalReady);
    ExecAsync(requestType_, "PBSZ 0", {200}, &TCustomFtpCli::ProtectionSizeSet);
}

void TCustomFtpCli::ProtectionSizeSet()
{
    SetState(fsInternalReady);
    ExecAsync(requestType_, "PROT P", {200}, &TCustomFtpCli::DataProtectionSet);
}

void TCustomFtpCli::DataProtectionSet()
{
    dataProtected_ = true;
    TriggerRequestDone(0);
}

// The system's trust store, else the user's stored choice, else the user's answer.
bool TCustomFtpCli::CertificateAccepted()
{
    TlsPeerCertificate peer = controlSocket_.PeerCertificate();
    if (peer.trusted)
        return true;
    if (!peer.present)
        return false;
    CertificateQuestion& question = peer.details;
    question.host = TrustStoreHost();
    const TlsTrustStore store(TrustStorePath);
    const std::string known = TrustedFingerprint(question.host);
    if (!known.empty() && known == question.fingerprint) {
        Display(Remarks.format(frCertificateTrusted, {question.fingerprint}));
        return true;
    }
    if (!known.empty()) {
        question.changed = true;
        Display("! " + Remarks.format(frCertificateChanged, {question.host}));
    }
    const CertificateAnswer answer = OnCertificateQuestion ? OnCertificateQuestion(question) : CertificateAnswer::Cancel;
    if (answer == CertificateAnswer::Always && !TrustStorePath.empty() &&
        !store.Remember(question.host, question.fingerprint))
        Display("! " + Remarks.format(frCertificateNotStored, {TrustStorePath}));
    return answer != CertificateAnswer::Cancel;
}

// The trust store's key: "host:port", "[::1]:990" for an IPv6 address.
std::string TCustomFtpCli::TrustStoreHost() const
{
    return TlsTrustStore::Key(HostName, Port);
}

std::string TCustomFtpCli::TrustedFingerprint(const std::string& host) const
{
    return TrustStorePath.empty() ? std::string() : TlsTrustStore(TrustStorePath).Fingerprint(host);
}

// A protected session's data connections run TLS too, resuming the control connection's session. Most
// servers want the transfer command before the handshake, and some take a handshake that reaches them
// first for a broken connection, so it waits for the command's 150 or 125. A server that answers only
// once the handshake is over gets it after a short wait, and from then on right after each command.
void TCustomFtpCli::SecureDataConnection()
{
    dataTlsWaiting_ = dataProtected_ && tls_;
    StartDataTls();
}

void TCustomFtpCli::DataCommandSent()
{
    if (!dataProtected_ || !tls_)
        return;
    if (serverAwaitsDataTls_)
        return AllowDataTls();
    const uint64_t serial = transferSerial_;
    std::weak_ptr<Alive> alive = alive_;
    dataTlsTimer_ = EventLoop::instance().addTimer(kDataTlsWaitMs, [this, alive, serial] {
        if (alive.lock() && serial == transferSerial_)
            AllowDataTls();
    });
}

// A handshake that is over before the command's answer came is what this server waits for.
void TCustomFtpCli::DataTlsEstablished()
{
    if (!dataSocket_.TlsSessionReused())
        Display(Remarks[frNewDataTlsSession]);
    if (transferAnswered_ || storAnswered_ || serverAwaitsDataTls_)
        return;
    serverAwaitsDataTls_ = true;
    Display(Remarks[frDataTlsFirst]);
}

void TCustomFtpCli::AllowDataTls()
{
    EventLoop::instance().cancelTimer(dataTlsTimer_);
    dataTlsDue_ = true;
    StartDataTls();
}

// A failure closes the data connection, and its close handler reports it.
void TCustomFtpCli::StartDataTls()
{
    if (!dataTlsWaiting_ || !dataTlsDue_ || dataSocket_.State() != wsConnected)
        return;
    dataTlsWaiting_ = false;
    if (dataHeld_) {
        dataHeld_ = false;
        dataSocket_.Resume();
    }
    dataSocket_.OnTlsDone = [this](TCustomWSocket*, uint16_t error) {
        if (error != 0) {
            Display("! " + Remarks.format(frDataTlsFailed, {dataSocket_.TlsError()}));
            NoteDataError(kTlsFailed, "426 Data connection: " + dataSocket_.TlsError());
        }
        else
            DataTlsEstablished();
    };
    dataSocket_.StartTls(*tls_, HostName, TlsRole::Data);
}

} // namespace brisk
