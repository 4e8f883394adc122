#include "net/socks_wsocket.h"

#include "net/socket_resolve.h"

#include <cstring>

namespace brisk {

namespace {

// Level-5 reply codes 1..8; 0 is success, 9 and above are unassigned.
const char* const kLevel5Errors[] = {
    "general SOCKS server failure", "connection not allowed by ruleset", "network unreachable",
    "host unreachable", "connection refused", "time to live expired", "command not supported",
    "address type not supported",
};

constexpr int kLevel5ErrorBase = 20003; // code 1 gives 20004

std::string counted(const std::string& text)
{
    return char(uint8_t(text.size())) + text;
}

} // namespace

// How many bytes the current step may take from the socket. A level-4 reply is read exactly, so
// that the destination's first bytes stay in the socket; a level-5 reply may bring them along.
int TCustomSocksWSocket::bytesWanted() const
{
    switch (socksState_) {
    case socksStateConnecting: return 2 - rcvCnt_;
    case socksStateAuthenticating: return kRcvSize - rcvCnt_;
    case socksStateRequestSent: return (socksLevel_ == "5" ? kRcvSize : 8) - rcvCnt_;
    default: return 0;
    }
}

void TCustomSocksWSocket::negotiate()
{
    const int want = bytesWanted();
    if (want <= 0)
        return fail(20013, "internal error");
    const int n = TCustomWSocket::Receive(rcvBuf_ + rcvCnt_, want);
    if (n <= 0)
        return; // nothing yet, or the proxy's close, which the close event reports
    rcvCnt_ += n;
    switch (socksState_) {
    case socksStateConnecting: return methodReply();
    case socksStateAuthenticating: return authReply();
    case socksStateRequestSent: return socksLevel_ == "5" ? level5Reply() : level4Reply();
    default: return fail(20013, "internal error");
    }
}

void TCustomSocksWSocket::methodReply()
{
    if (rcvCnt_ < 2)
        return;
    if (socksLevel_ != "5")
        return fail(20001, "TWSocket logic error");
    if (rcvBuf_[0] != 5)
        return fail(20002, "socks version error");
    const uint8_t method = rcvBuf_[1];
    rcvCnt_ = 0;
    if (method == 0) {
        if (methodOffered_ == 2 && !authState(socksAuthNotRequired))
            return;
        return sendRequest();
    }
    // Credentials go only to a server that was offered them.
    if (method == 2 && methodOffered_ == 2)
        return sendAuthentication();
    fail(20003, "authentification method not acceptable");
}

void TCustomSocksWSocket::sendAuthentication()
{
    socksState_ = socksStateAuthenticating;
    if (!authState(socksAuthStart))
        return;
    sendBytes("\x01" + counted(SocksUsercode) + counted(SocksPassword));
}

void TCustomSocksWSocket::authReply()
{
    if (rcvBuf_[0] != 1)
        return fail(20002, "socks version error");
    if (rcvCnt_ > 2)
        return fail(20001, "too much data availaible");
    if (rcvCnt_ < 2)
        return;
    if (rcvBuf_[1] != 0)
        return fail(20015, "socks authentication failed");
    rcvCnt_ = 0;
    if (authState(socksAuthSuccess))
        sendRequest();
}

void TCustomSocksWSocket::sendRequest()
{
    socksState_ = socksStateRequestSent;
    rcvCnt_ = 0;
    const auto* port = reinterpret_cast<const char*>(&destPort_);
    if (socksLevel_ == "5") {
        sendBytes(std::string{5, 1, 0, 3} + counted(Addr()) + std::string(port, 2));
        return;
    }
    std::string request{4, 1};
    request.append(port, 2);
    if (sendName_)
        request.append({0, 0, 0, 1});
    else
        request.append(reinterpret_cast<const char*>(&destAddr_), 4);
    request += SocksUsercode;
    request += '\0';
    if (sendName_)
        request += Addr() + '\0';
    sendBytes(request);
}

void TCustomSocksWSocket::level4Reply()
{
    if (rcvBuf_[0] != 0)
        return fail(20002, "socks version error");
    if (rcvCnt_ < 2)
        return;
    switch (rcvBuf_[1]) {
    case 90:
        if (rcvCnt_ == 8)
            succeed();
        return;
    case 91: return fail(20016, "request rejected or failed");
    case 92: return fail(20008, "connection refused");
    case 93: return fail(20015, "authentification failed");
    default: return fail(20012, "unassigned error #" + std::to_string(rcvBuf_[1]));
    }
}

void TCustomSocksWSocket::level5Reply()
{
    if (rcvBuf_[0] != 5)
        return fail(20002, "socks version error");
    if (rcvCnt_ < 2)
        return;
    const uint8_t code = rcvBuf_[1];
    if (code >= 1 && code <= 8)
        return fail(kLevel5ErrorBase + code, kLevel5Errors[code - 1]);
    if (code != 0)
        return fail(20012, "unassigned error #" + std::to_string(code));
    int length = 0;
    if (!level5ReplyLength(length) || rcvCnt_ < length)
        return;
    takeBoundAddress(length);
    leftOverPos_ = length;
    leftOverCount_ = rcvCnt_ - length;
    succeed();
}

// The whole reply's length once the address type (and a name's length) is in; false while waiting
// or after a failure. A bound name too long for the receive area cannot be taken.
bool TCustomSocksWSocket::level5ReplyLength(int& length)
{
    if (rcvCnt_ < 4)
        return false;
    if (rcvBuf_[3] == 1) {
        length = 10;
        return true;
    }
    if (rcvBuf_[3] != 3) {
        fail(20011, "address type not supported");
        return false;
    }
    if (rcvCnt_ < 5)
        return false;
    length = 7 + rcvBuf_[4];
    if (length <= kRcvSize)
        return true;
    fail(20011, "address type not supported");
    return false;
}

void TCustomSocksWSocket::takeBoundAddress(int length)
{
    if (rcvBuf_[3] == 1) {
        uint32_t addr = 0;
        std::memcpy(&addr, rcvBuf_ + 4, 4);
        boundAddr_ = WSocketDotted(addr);
    } else {
        boundAddr_.assign(reinterpret_cast<const char*>(rcvBuf_ + 5), rcvBuf_[4]);
    }
    boundPort_ = std::to_string(rcvBuf_[length - 2] * 256 + rcvBuf_[length - 1]);
}

void TCustomSocksWSocket::sendBytes(const std::string& bytes)
{
    Send(bytes.data(), int(bytes.size()));
}

void TCustomSocksWSocket::succeed()
{
    socksState_ = socksStateNone;
    const uint64_t serial = connectSerial_;
    TCustomWSocket::TriggerSessionConnected(0);
    if (serial == connectSerial_ && State() == wsConnected)
        TCustomWSocket::TriggerDataAvailable(0);
}

void TCustomSocksWSocket::fail(int code, const std::string& msg)
{
    // Ends the negotiation first, so that a handler that closes the socket sees a plain close.
    socksState_ = socksStateNone;
    rcvCnt_ = 0;
    const uint64_t serial = connectSerial_;
    if (OnSocksError)
        OnSocksError(this, code, msg);
    TCustomWSocket::TriggerSessionConnected(uint16_t(code));
    if (serial == connectSerial_ && State() != wsClosed)
        InternalClose(true, uint16_t(code));
}

// False when the owner's handler ended or replaced this connection.
bool TCustomSocksWSocket::authState(TSocksAuthState state)
{
    const uint64_t serial = connectSerial_;
    if (OnSocksAuthState)
        OnSocksAuthState(this, state);
    return serial == connectSerial_ && State() == wsConnected && socksState_ != socksStateNone;
}

} // namespace brisk
