#include "net/socks_wsocket.h"

#include <netinet/in.h>

namespace brisk {

namespace {

std::string counted(const std::string& text)
{
    return char(uint8_t(text.size())) + text;
}

} // namespace

void TCustomSocksWSocket::negotiate()
{
    uint8_t chunk[SocksReplyReader::kCapacity];
    const size_t want = reply_.room();
    if (want == 0)
        return fail(20013, "internal error");
    const int n = TCustomWSocket::Receive(chunk, int(want));
    if (n <= 0)
        return; // nothing yet, or the proxy's close, which the close event reports
    const SocksReplyReader::Outcome outcome = reply_.add(chunk, size_t(n));
    if (outcome == SocksReplyReader::Outcome::NeedMore)
        return;
    if (socksState_ == socksStateConnecting && socksLevel_ != "5")
        return fail(20001, "TWSocket logic error");
    if (outcome == SocksReplyReader::Outcome::Failed)
        return fail(reply_.errorCode(), std::string(reply_.errorText())); // fail() empties the reader
    switch (socksState_) {
    case socksStateConnecting: return methodReply();
    case socksStateAuthenticating: return authReply();
    case socksStateRequestSent: return succeed();
    default: return fail(20013, "internal error");
    }
}

void TCustomSocksWSocket::methodReply()
{
    const uint8_t method = reply_.method();
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
    reply_.start(SocksReplyReader::Kind::Authentication);
    if (!authState(socksAuthStart))
        return;
    sendBytes("\x01" + counted(SocksUsercode) + counted(SocksPassword));
}

void TCustomSocksWSocket::authReply()
{
    if (authState(socksAuthSuccess))
        sendRequest();
}

void TCustomSocksWSocket::sendRequest()
{
    socksState_ = socksStateRequestSent;
    reply_.start(socksLevel_ == "5" ? SocksReplyReader::Kind::Level5 : SocksReplyReader::Kind::Level4);
    const auto* port = reinterpret_cast<const char*>(&destPort_);
    if (socksLevel_ == "5" && WSocketIsIPv6(Addr())) {
        const TSocketAddress dest = WSocketResolveAddress(Addr(), 0);
        const auto* bytes = reinterpret_cast<const char*>(&reinterpret_cast<const sockaddr_in6*>(dest.get())->sin6_addr);
        sendBytes(std::string{5, 1, 0, 4} + std::string(bytes, 16) + std::string(port, 2));
        return;
    }
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
    reply_.dropPending();
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
