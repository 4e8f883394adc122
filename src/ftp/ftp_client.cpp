#include "ftp/ftp_client.h"

#include "ftp/ftp_exception.h"

namespace brisk {

TCustomFtpCli::TCustomFtpCli()
{
    controlSocket_.OnDnsLookupDone = [this](TCustomWSocket*, uint16_t e) { ControlSocketDnsLookupDone(e); };
    controlSocket_.OnSessionConnected = [this](TCustomWSocket*, uint16_t e) { ControlSocketSessionConnected(e); };
    controlSocket_.OnDataAvailable = [this](TCustomWSocket*, uint16_t e) { ControlSocketDataAvailable(e); };
    controlSocket_.OnSessionClosed = [this](TCustomWSocket*, uint16_t e) { ControlSocketSessionClosed(e); };
}

TCustomFtpCli::~TCustomFtpCli()
{
    alive_.reset();
    controlSocket_.OnSessionClosed = nullptr;
    dataSocket_.OnSessionClosed = nullptr;
}

void TCustomFtpCli::SetState(TFtpClientState value)
{
    if (state_ == value)
        return;
    state_ = value;
    if (OnStateChange)
        OnStateChange(this);
}

void TCustomFtpCli::HandleError(const std::string& msg)
{
    usageErrorRaised_ = true;
    lastUsageError_ = msg;
    if (OnError) {
        std::string text = msg;
        OnError(this, text);
        return;
    }
    throw FtpException(msg);
}

void TCustomFtpCli::Display(const std::string& line)
{
    if (!OnDisplay)
        return;
    std::string text = line;
    OnDisplay(this, text);
}

void TCustomFtpCli::SetErrorMessage(const std::string& line)
{
    if (errorMessage_.empty())
        errorMessage_ = line;
}

void TCustomFtpCli::SetPassive(bool value)
{
    // Proxies of every kind need the client to open the data connection.
    passive_ = connectionType_ == ftpDirect ? value : true;
}

void TCustomFtpCli::SetConnectionType(int value)
{
    if (connected_)
        return HandleError("FTP component connected");
    connectionType_ = value >= ftpDirect && value <= ftpSocks5 ? TFtpConnectionType(value) : ftpDirect;
    if (connectionType_ != ftpDirect)
        passive_ = true;
    WriteSocksKind();
}

void TCustomFtpCli::SetShareMode(int value)
{
    switch (value) {
    case ftpShareCompat: case ftpShareExclusive: case ftpShareDenyWrite: case ftpShareDenyRead: case ftpShareDenyNone:
        shareMode_ = TFtpShareMode(value);
        break;
    default:
        shareMode_ = ftpShareExclusive;
    }
}

} // namespace brisk
