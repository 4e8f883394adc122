#include "net/socks_wsocket.h"

#include "net/socket_exception.h"
#include "net/socket_resolve.h"
#include "platform/ascii.h"
#include "platform/wsa_errors.h"

namespace brisk {

namespace {

std::string trimSpacesAndTabs(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Longest text a one-byte length field can announce.
constexpr size_t kMaxCountedText = 255;

} // namespace

void TCustomSocksWSocket::SetSocksServer(const std::string& value)
{
    if (State() != wsClosed)
        return RaiseException("Can't change socks server if not closed");
    socksServer_ = trimSpacesAndTabs(value);
}

void TCustomSocksWSocket::SetSocksPort(const std::string& value)
{
    if (State() != wsClosed)
        return RaiseException("Can't change socks port if not closed");
    socksPort_ = trimSpacesAndTabs(value);
}

void TCustomSocksWSocket::SetSocksLevel(const std::string& value)
{
    if (State() != wsClosed)
        return RaiseException("Can't change socks level if not closed");
    const std::string level = toUpperAscii(value);
    if (level != "4" && level != "4A" && level != "5")
        return RaiseException("Invalid socks level. Must be 4, 4A or 5.");
    socksLevel_ = level;
}

void TCustomSocksWSocket::Connect()
{
    if (socksServer_.empty())
        return TCustomWSocket::Connect();
    if (!checkSocksConnect())
        return;
    const uint64_t serial = ++connectSerial_;
    reply_.clear();
    reply_.start(SocksReplyReader::Kind::Method);
    DoConnectVia(socksServer_, socksPort_);
    if (serial == connectSerial_ && State() == wsConnecting)
        socksState_ = socksStateConnecting;
}

// Resolves what the connect request carries; false when a usage error was reported.
bool TCustomSocksWSocket::checkSocksConnect()
{
    if (Handle() >= 0 && State() != wsClosed) {
        RaiseException("Connect: Socket already in use");
        return false;
    }
    if (!equalsNoCase(Proto(), "tcp")) {
        RaiseException("tcp is the only protocol supported thru socks server");
        return false;
    }
    if (Port().empty() || Addr().empty())
        return true; // the plain connect reports the missing value
    // A one-byte length field cannot announce more: a cut name would lead somewhere else.
    const bool userCodeCounted = socksLevel_ == "5" && SocksAuthentication == socksAuthenticateUsercode;
    if (socksLevel_ == "5" && Addr().size() > kMaxCountedText) {
        RaiseException("Host name too long for socks server");
        return false;
    }
    if (userCodeCounted && (SocksUsercode.size() > kMaxCountedText || SocksPassword.size() > kMaxCountedText)) {
        RaiseException("Socks user code or password too long");
        return false;
    }
    if (socksLevel_ != "5" && WSocketIsIPv6(Addr())) {
        RaiseException("IPv6 addresses need socks level 5");
        return false;
    }
    try {
        destPort_ = WSocketResolvePort(Port(), "tcp");
        // Level 4A names the destination only when it is not an address already.
        sendName_ = socksLevel_ == "4A" && !WSocketIsDottedIP(Addr());
        if (socksLevel_ != "5" && !sendName_)
            destAddr_ = WSocketResolveHost(Addr());
    } catch (const ESocketException& e) {
        RaiseException(e.what());
        return false;
    }
    return true;
}

void TCustomSocksWSocket::Listen()
{
    if (!socksServer_.empty())
        return RaiseException("Listening is not supported thru socks server");
    TCustomWSocket::Listen();
}

// Bytes that came behind a level-5 reply are the destination's first bytes: they go out first.
int TCustomSocksWSocket::Receive(void* buffer, int len)
{
    if (reply_.leftOverCount() == 0 || len <= 0)
        return TCustomWSocket::Receive(buffer, len);
    return int(reply_.takeLeftOver(buffer, size_t(len)));
}

int TCustomSocksWSocket::GetRcvdCount()
{
    return int(reply_.leftOverCount()) + TCustomWSocket::GetRcvdCount();
}

void TCustomSocksWSocket::TriggerSessionConnected(uint16_t error)
{
    if (socksState_ != socksStateConnecting)
        return TCustomWSocket::TriggerSessionConnected(error);
    const uint64_t serial = connectSerial_;
    if (OnSocksConnected)
        OnSocksConnected(this, error);
    if (error != 0) {
        socksState_ = socksStateNone;
        return TCustomWSocket::TriggerSessionConnected(error);
    }
    if (serial != connectSerial_ || State() != wsConnected)
        return;
    if (socksLevel_ != "5")
        return sendRequest();
    methodOffered_ = SocksAuthentication == socksAuthenticateUsercode ? 2 : 0;
    sendBytes(std::string{5, 1, char(methodOffered_)});
}

void TCustomSocksWSocket::TriggerDataAvailable(uint16_t error)
{
    if (socksState_ == socksStateNone)
        return TCustomWSocket::TriggerDataAvailable(error);
    if (error != 0)
        return fail(error, "data receive error");
    negotiate();
}

// The proxy hung up before the destination was reached: for the owner that is a failed connect.
void TCustomSocksWSocket::TriggerSessionClosed(uint16_t error)
{
    if (socksState_ == socksStateNone)
        return TCustomWSocket::TriggerSessionClosed(error);
    const uint64_t serial = connectSerial_;
    if (socksState_ == socksStateAuthenticating)
        authState(socksAuthFailure);
    if (socksState_ != socksStateNone && serial == connectSerial_) {
        const int code = error != 0 ? error : wsa::ECONNABORTED_;
        socksState_ = socksStateNone;
        if (OnSocksError)
            OnSocksError(this, code, "data receive error");
        TCustomWSocket::TriggerSessionConnected(uint16_t(code));
    }
    if (serial == connectSerial_)
        TCustomWSocket::TriggerSessionClosed(error);
}

void TCustomSocksWSocket::AssignDefaultValue()
{
    TCustomWSocket::AssignDefaultValue();
    socksState_ = socksStateNone;
    socksServer_.clear();
    socksPort_.clear();
    socksLevel_.assign(1, '5'); // not = "5": GCC 12 warns falsely (-Wrestrict) there
    reply_.dropPending();
}

} // namespace brisk
