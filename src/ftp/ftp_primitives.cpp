#include "ftp/ftp_client.h"

#include "platform/ascii.h"
#include "platform/event_loop.h"

namespace brisk {

std::string TCustomFtpCli::UserCommand() const
{
    if (connectionType_ != ftpProxy)
        return "USER " + UserName;
    // Through an FTP proxy the real host travels in the user name.
    std::string cmd = "USER " + UserName + "@" + HostName;
    if (!equalsNoCase(Port, "ftp") && Port != "21")
        cmd += ":" + Port;
    return cmd;
}

void TCustomFtpCli::UserAsync()
{
    if (UserName.empty())
        return HandleError("UserName emtpy");
    fctPrv_ = stepUser;
    ExecAsync(ftpUserAsync, UserCommand(), {331, 230});
}

void TCustomFtpCli::PassAsync()
{
    if (PassWord.empty())
        return HandleError("Password emtpy");
    fctPrv_ = stepPass;
    ExecAsync(ftpPassAsync, "PASS " + PassWord, {230});
}

void TCustomFtpCli::CwdAsync()
{
    if (HostDirName.empty())
        return HandleError("HostDirName emtpy");
    fctPrv_ = stepCwd;
    ExecAsync(ftpCwdAsync, "CWD " + HostDirName, {200, 250, 257});
}

void TCustomFtpCli::CDupAsync()
{
    fctPrv_ = stepCDup;
    ExecAsync(ftpCDupAsync, "CDUP", {250});
}

void TCustomFtpCli::PwdAsync()
{
    fctPrv_ = stepPwd;
    ExecAsync(ftpPwdAsync, "PWD", {250, 257});
}

void TCustomFtpCli::SystAsync()
{
    fctPrv_ = stepSyst;
    ExecAsync(ftpSystAsync, "SYST", {215});
}

void TCustomFtpCli::SizeAsync()
{
    sizeResult_ = 0;
    fctPrv_ = stepSize;
    ExecAsync(ftpSizeAsync, "SIZE " + HostFileName, {213});
}

void TCustomFtpCli::MkdAsync()
{
    fctPrv_ = stepMkd;
    ExecAsync(ftpMkdAsync, "MKD " + HostFileName, {257});
}

void TCustomFtpCli::RmdAsync()
{
    fctPrv_ = stepRmd;
    ExecAsync(ftpRmdAsync, "RMD " + HostFileName, {250, 257});
}

void TCustomFtpCli::DeleAsync()
{
    fctPrv_ = stepDele;
    ExecAsync(ftpDeleAsync, "DELE " + HostFileName, {200, 250, 257});
}

void TCustomFtpCli::RenFromAsync()
{
    fctPrv_ = stepRenFrom;
    ExecAsync(ftpRenFromAsync, "RNFR " + HostFileName, {350});
}

void TCustomFtpCli::RenToAsync()
{
    fctPrv_ = stepRenTo;
    ExecAsync(ftpRenToAsync, "RNTO " + LocalFileName, {200, 250, 257});
}

// The type stays set on the server until changed, so asking for the one it has costs a round trip
// for nothing: the request then succeeds without a command. It ends from the loop, where a reply
// would have ended it, so that its end reaches the owner at the same point as a reply's would.
void TCustomFtpCli::TypeSetAsync()
{
    fctPrv_ = stepTypeSet;
    const char type = WantedType();
    if (type != serverType_ || !connected_ || (state_ != fsReady && state_ != fsInternalReady))
        return ExecAsync(ftpTypeSetAsync, std::string("TYPE ") + type, {200}, &TCustomFtpCli::TypeConfirmed);
    if (!seqRunning_) {
        requestType_ = ftpTypeSetAsync;
        errorMessage_.clear();
    }
    requestResult_ = 0;
    requestDoneFlag_ = false;
    SetState(fsInternalReady); // not fsReady: a synchronous wait goes on until the end below
    std::weak_ptr<Alive> alive = alive_;
    const uint64_t sent = commandsSent_;
    EventLoop::instance().addTimer(0, [this, alive, sent] {
        if (alive.lock() && sent == commandsSent_ && state_ == fsInternalReady && !requestDoneFlag_)
            TriggerRequestDone(0);
    });
}

void TCustomFtpCli::TypeConfirmed()
{
    serverType_ = WantedType();
    TriggerRequestDone(0);
}

void TCustomFtpCli::TypeBinaryAsync()
{
    Binary = true;
    TypeSetAsync();
}

void TCustomFtpCli::TypeAsciiAsync()
{
    Binary = false;
    TypeSetAsync();
}

void TCustomFtpCli::QuoteAsync()
{
    fctPrv_ = stepQuote;
    ExecAsync(ftpQuoteAsync, LocalFileName, {});
}

void TCustomFtpCli::QuitAsync()
{
    DestroyLocalStream();
    fctPrv_ = stepQuit;
    ExecAsync(ftpQuitAsync, "QUIT", {221}, &TCustomFtpCli::ControlSocketClose);
}

void TCustomFtpCli::ControlSocketClose()
{
    quitting_ = true;
    controlSocket_.Close();
    quitting_ = false;
}

} // namespace brisk
