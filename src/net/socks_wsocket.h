// No #pragma once: net/wsocket.h includes this header after TCustomWSocket and then derives TWSocket
// from the class below, so a file that includes this header first gets both in the right order.
#include "net/wsocket.h"
#include "net/socks_reply.h"

#ifndef BRISK_NET_SOCKS_WSOCKET_H
#define BRISK_NET_SOCKS_WSOCKET_H

#include <cstdint>
#include <functional>
#include <string>

namespace brisk {

enum TSocksState { socksStateNone, socksStateConnecting, socksStateAuthenticating, socksStateRequestSent };
enum TSocksAuthentication { socksNoAuthentication, socksAuthenticateUsercode };
enum TSocksAuthState { socksAuthStart, socksAuthSuccess, socksAuthFailure, socksAuthNotRequired };

using TSocksErrorEvent = std::function<void(TCustomWSocket* sender, int error, const std::string& msg)>;
using TSocksAuthStateEvent = std::function<void(TCustomWSocket* sender, TSocksAuthState authState)>;

// Outgoing TCP connections through a SOCKS 4, 4A or 5 server. The negotiation runs inside the socket:
// the owner calls Connect as usual and sees OnSessionConnected only once the SOCKS server has reached
// the destination, or with the error code (20001-20016 or a socket error) when it has not.
class TCustomSocksWSocket : public TCustomWSocket {
public:
    void Connect() override;
    void Listen() override;
    int Receive(void* buffer, int len) override;
    int GetRcvdCount() override;

    const std::string& SocksServer() const { return socksServer_; }
    void SetSocksServer(const std::string& value);
    const std::string& SocksPort() const { return socksPort_; }
    void SetSocksPort(const std::string& value);
    const std::string& SocksLevel() const { return socksLevel_; }
    void SetSocksLevel(const std::string& value);
    std::string SocksUsercode;
    std::string SocksPassword;
    TSocksAuthentication SocksAuthentication = socksNoAuthentication;
    // What a level-5 server reported as its end of the connection to the destination.
    const std::string& BoundAddr() const { return reply_.boundAddr(); }
    const std::string& BoundPort() const { return reply_.boundPort(); }

    TSessionConnected OnSocksConnected;
    TSocksErrorEvent OnSocksError;
    TSocksAuthStateEvent OnSocksAuthState;

protected:
    void TriggerSessionConnected(uint16_t error) override;
    void TriggerDataAvailable(uint16_t error) override;
    void TriggerSessionClosed(uint16_t error) override;
    void AssignDefaultValue() override;

private:
    bool checkSocksConnect();
    void negotiate();
    void methodReply();
    void authReply();
    void sendAuthentication();
    void sendRequest();
    void sendBytes(const std::string& bytes);
    void succeed();
    void fail(int code, const std::string& msg);
    bool authState(TSocksAuthState state);

    std::string socksServer_, socksPort_, socksLevel_ = "5";
    TSocksState socksState_ = socksStateNone;
    SocksReplyReader reply_;
    uint8_t methodOffered_ = 0;
    uint16_t destPort_ = 0;   // network order
    uint32_t destAddr_ = 0;   // network order; level 4, and 4A to a dotted address
    bool sendName_ = false;   // level 4A to a host name: the proxy resolves it
    uint64_t connectSerial_ = 0; // tells whether a handler started another connection
};

} // namespace brisk

#endif
