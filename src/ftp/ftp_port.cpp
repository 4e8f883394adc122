#include "ftp/ftp_client.h"

#include "ftp/ftp_extended_port.h"
#include "ftp/ftp_reply.h"
#include "net/socket_error_text.h"
#include "net/socket_exception.h"
#include "net/socket_resolve.h"
#include "platform/event_loop.h"
#include "platform/wsa_errors.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace brisk {

void TCustomFtpCli::PrepareDataSocket()
{
    if (dataSocket_.State() != wsClosed)
        dataSocket_.Abort();
    dataSocket_.OnSessionAvailable = nullptr;
    dataSocket_.OnSessionClosed = nullptr;
    dataSocket_.OnDataAvailable = nullptr;
    dataSocket_.OnDataSent = nullptr;
    dataSocket_.OnSessionConnected = nullptr;
    dataSocket_.SetProto("tcp");
    dataSocket_.SetAddr("0.0.0.0");
    dataSocket_.SetPort("0");
}

void TCustomFtpCli::PortAsync()
{
    if (state_ != fsReady && state_ != fsInternalReady)
        return HandleError("Please wait! The program waits response from FTP host");
    if (!connected_)
        return HandleError("FTP component not connected");
    PrepareDataSocket();
    // PORT carries only IPv4 addresses, so an IPv6 control connection takes EPRT, and EPSV for as long
    // as the server does not refuse it: then PASV, whose port alone is used, is the one retry.
    const bool ipv6 = DataPeerAddress().find(':') != std::string::npos;
    std::string cmd = passive_ && ((ipv6 && !epsvRefused_) || UsesExtendedPassive()) ? "EPSV" : "PASV";
    if (!passive_)
        cmd = ListenForActiveData();
    ByteCount = 0;
    fctPrv_ = stepPort;
    ExecAsync(ftpPortAsync, cmd, {200, 227, 229});
    if (cmd == "EPSV" && state_ == fsWaitingResponse)
        next_ = &TCustomFtpCli::ExtendedPassiveReply;
}

// Listens where the server reaches us, and takes the connection only from the server (or the FTP
// proxy): anyone else could otherwise feed a download or take an upload. Returns the PORT or EPRT command.
std::string TCustomFtpCli::ListenForActiveData()
{
    sockaddr_storage data{}, control{};
    controlSocket_.GetSockName(control);
    const auto* local = reinterpret_cast<const sockaddr*>(&control);
    dataSocket_.SetAddr(WSocketAddressText(local));
    expectedDataPeer_ = controlSocket_.GetPeerAddr();
    dataSocket_.LingerOnOff = wsLingerOn;
    dataSocket_.LingerTimeout = 10;
    ApplySocksSettings(dataSocket_); // only direct sessions listen: no SOCKS server left set may refuse it
    dataSocket_.Listen();
    dataSocket_.GetSockName(data);
    const unsigned port = WSocketAddressPort(reinterpret_cast<const sockaddr*>(&data));
    if (local->sa_family == AF_INET6)
        return "EPRT |2|" + WSocketAddressText(local) + "|" + std::to_string(port) + "|";
    const uint32_t addr = ntohl(reinterpret_cast<const sockaddr_in*>(local)->sin_addr.s_addr);
    const std::string hostPart = expectedDataPeer_ == "127.0.0.1"
        ? std::string("127,0,0,1")
        : std::to_string(addr >> 24) + "," + std::to_string((addr >> 16) & 255) + "," +
              std::to_string((addr >> 8) & 255) + "," + std::to_string(addr & 255);
    return "PORT " + hostPart + "," + std::to_string(port >> 8) + "," + std::to_string(port & 255);
}

void TCustomFtpCli::RestAsync()
{
    if (requestType_ != ftpRestPutAsync && requestType_ != ftpRestartPutAsync && !(Options & ftpNoAutoResumeAt))
        ResumeAt = LocalFileSize(LocalFileName);
    fctPrv_ = stepRest;
    if (ResumeAt < 1) {
        // Nothing to resume from: the step succeeds without a command.
        if (!seqRunning_)
            requestType_ = ftpRestAsync;
        requestDoneFlag_ = false;
        requestResult_ = 0;
        TriggerRequestDone(0);
        return;
    }
    ExecAsync(ftpRestAsync, "REST " + std::to_string(ResumeAt), {});
}

// The data connection goes to the server the control connection reaches, never to the address a 227
// reply names.
bool TCustomFtpCli::ConnectDataPassive(void (TCustomFtpCli::*connected)(uint16_t))
{
    const int port = FtpDataPort(passiveReply_);
    if (port <= 0) {
        DataConnectFailed(10022);
        return false;
    }
    dataSocket_.SetAddr(DataPeerAddress());
    dataSocket_.SetPort(std::to_string(port));
    dataSocket_.OnSessionConnected = [this, connected](TCustomWSocket*, uint16_t error) {
        if (error == 0)
            SecureDataConnection();
        (this->*connected)(error);
    };
    dataSocket_.LingerOnOff = wsLingerOff;
    dataSocket_.LingerTimeout = 0;
    ApplySocksSettings(dataSocket_); // every data connection of a SOCKS session goes through the proxy
    dataSocket_.Connect();
    return true;
}

// Through SOCKS the control connection's peer is the proxy itself; the data connection asks the proxy
// for the server the session was opened to.
std::string TCustomFtpCli::DataPeerAddress()
{
    const bool socks = connectionType_ != ftpDirect && connectionType_ != ftpProxy;
    return socks ? controlSocket_.DnsResult() : controlSocket_.GetPeerAddr();
}

void TCustomFtpCli::DataConnectFailed(uint16_t error)
{
    EventLoop::instance().cancelTimer(failGraceTimer_);
    failedReply_ = 0;
    lastResponse_ = "Unable to establish data connection, error #" + std::to_string(error) + " (" +
                    WSocketErrorDesc(error) + ")";
    statusCode_ = 550;
    SetErrorMessage(lastResponse_);
    DestroyLocalStream();
    if (dataError_ == 0)
        dataError_ = 550;
    if (dataSocket_.State() != wsClosed)
        dataSocket_.Close();
    if (dataCommandSent_)
        return AwaitOwedReply();
    requestResult_ = 550;
    TriggerRequestDone(550);
}

namespace {
std::string peerOf(int handle)
{
    sockaddr_storage peer{};
    socklen_t len = sizeof peer;
    if (getpeername(handle, reinterpret_cast<sockaddr*>(&peer), &len) != 0)
        return "error";
    return WSocketAddressText(reinterpret_cast<sockaddr*>(&peer));
}
} // namespace

// False while no connection of the server's has been taken: a stranger's is closed and the listening
// socket keeps waiting.
bool TCustomFtpCli::AdoptAcceptedDataConnection()
{
    try {
        const int handle = dataSocket_.Accept();
        const std::string peer = peerOf(handle);
        if (peer != expectedDataPeer_) {
            ::close(handle);
            Display("! " + Remarks.format(frForeignDataConnection, {peer, expectedDataPeer_}));
            return false;
        }
        dataSocket_.OnSessionAvailable = nullptr;
        dataSocket_.Close();
        dataSocket_.Dup(handle);
        return true;
    } catch (const ESocketException&) {
        if (dataSocket_.LastError() == wsa::EWOULDBLOCK_)
            return false;
        dataSocket_.OnSessionAvailable = nullptr;
        DataConnectFailed(uint16_t(dataSocket_.LastError() ? dataSocket_.LastError() : 10022));
        return false;
    }
}

} // namespace brisk
