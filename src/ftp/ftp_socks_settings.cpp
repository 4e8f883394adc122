#include "ftp/ftp_client.h"

namespace brisk {

namespace {

bool isSocksKind(TFtpConnectionType type)
{
    return type == ftpSocks4 || type == ftpSocks4A || type == ftpSocks5;
}

std::string socksLevelOf(TFtpConnectionType type)
{
    return type == ftpSocks4 ? "4" : type == ftpSocks4A ? "4A" : "5";
}

// A level-5 client offers one method only: offering user name and password without a user name
// would lock it out of every server that needs no authentication.
TSocksAuthentication socksAuthenticationOf(TFtpConnectionType type, const std::string& userCode)
{
    return isSocksKind(type) && !userCode.empty() ? socksAuthenticateUsercode : socksNoAuthentication;
}

} // namespace

// An open socket refuses the change; it gets the value before its next connect anyway.
void TCustomFtpCli::SetSocksServer(const std::string& value)
{
    socksServer_ = value;
    for (TWSocket* socket : {&controlSocket_, &dataSocket_})
        if (socket->State() == wsClosed)
            socket->SetSocksServer(value);
}

void TCustomFtpCli::SetSocksPort(const std::string& value)
{
    socksPort_ = value;
    for (TWSocket* socket : {&controlSocket_, &dataSocket_})
        if (socket->State() == wsClosed)
            socket->SetSocksPort(value);
}

void TCustomFtpCli::SetSocksUserCode(const std::string& value)
{
    socksUserCode_ = value;
    for (TWSocket* socket : {&controlSocket_, &dataSocket_}) {
        socket->SocksUsercode = value;
        socket->SocksAuthentication = socksAuthenticationOf(connectionType_, value);
    }
}

void TCustomFtpCli::SetSocksPassword(const std::string& value)
{
    socksPassword_ = value;
    controlSocket_.SocksPassword = value;
    dataSocket_.SocksPassword = value;
}

void TCustomFtpCli::WriteSocksKind()
{
    for (TWSocket* socket : {&controlSocket_, &dataSocket_}) {
        socket->SocksAuthentication = socksAuthenticationOf(connectionType_, socksUserCode_);
        if (isSocksKind(connectionType_) && socket->State() == wsClosed)
            socket->SetSocksLevel(socksLevelOf(connectionType_));
    }
}

// Every connection of a SOCKS kind goes through the SOCKS server; any other kind connects directly,
// whatever SOCKS server is set.
void TCustomFtpCli::ApplySocksSettings(TWSocket& socket)
{
    if (!isSocksKind(connectionType_)) {
        socket.SetSocksServer("");
        return;
    }
    socket.SetSocksServer(socksServer_);
    socket.SetSocksPort(socksPort_);
    socket.SetSocksLevel(socksLevelOf(connectionType_));
    socket.SocksUsercode = socksUserCode_;
    socket.SocksPassword = socksPassword_;
    socket.SocksAuthentication = socksAuthenticationOf(connectionType_, socksUserCode_);
}

} // namespace brisk
