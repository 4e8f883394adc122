#pragma once
#include "net/socket_resolve.h"
#include "net/tbuffer.h"

#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct sockaddr_in;

namespace brisk {

enum TSocketState { wsInvalidState, wsOpened, wsBound, wsConnecting, wsConnected, wsAccepting, wsListening, wsClosed };
enum TSocketSendFlags { wsSendNormal, wsSendUrgent };
enum TSocketLingerOnOff { wsLingerOff, wsLingerOn, wsLingerNoSet };
enum TWSocketOption : unsigned { wsoNoReceiveLoop = 1 };
using TWSocketOptions = unsigned;

class TCustomWSocket;

using TSessionConnected = std::function<void(TCustomWSocket* sender, uint16_t error)>;
using TSessionAvailable = std::function<void(TCustomWSocket* sender, uint16_t error)>;
using TDataAvailable = std::function<void(TCustomWSocket* sender, uint16_t error)>;
using TDataSent = std::function<void(TCustomWSocket* sender, uint16_t error)>;
using TSendData = std::function<void(TCustomWSocket* sender, int bytesSent)>;
using TSessionClosed = std::function<void(TCustomWSocket* sender, uint16_t error)>;
using TChangeState = std::function<void(TCustomWSocket* sender, TSocketState oldState, TSocketState newState)>;
using TDnsLookupDone = std::function<void(TCustomWSocket* sender, uint16_t error)>;
using TNotifyEvent = std::function<void(TCustomWSocket* sender)>;
using TBgExceptionEvent = std::function<void(TCustomWSocket* sender, const std::exception& e, bool& canClose)>;

// Event-driven TCP (and UDP) socket over the program's event loop. Nothing blocks; every happening reaches
// the owner as an event on the loop's thread.
class TCustomWSocket {
public:
    TCustomWSocket();
    virtual ~TCustomWSocket();
    TCustomWSocket(const TCustomWSocket&) = delete;
    TCustomWSocket& operator=(const TCustomWSocket&) = delete;

    // Operations
    virtual void Connect();
    virtual void Listen();
    int Accept();
    void Dup(int handle);
    virtual int Send(const void* data, int len);
    int SendStr(const std::string& text);
    virtual int Receive(void* buffer, int len);
    std::string ReceiveStr();
    void Close();
    void Abort();
    void ShutDown(int how);
    void CloseDelayed();
    void DnsLookup(const std::string& hostName);
    void CancelDnsLookup();
    virtual void Pause();
    virtual void Resume();
    void MessagePump();
    std::string GetPeerAddr();
    std::string GetPeerPort();
    int GetSockName(sockaddr_in& name);
    int GetSockName(sockaddr_storage& name);
    virtual int GetRcvdCount();
    // Applies LingerOnOff and LingerTimeout to the open handle.
    void SetLingerOption();

    // Properties
    const std::string& Addr() const { return addr_; }
    void SetAddr(const std::string& value);
    // Addresses tried in order, each in place of Addr, when a direct connect fails (a name's other
    // addresses). SetAddr forgets them.
    void SetFallbackAddrs(std::vector<std::string> addrs) { fallbackAddrs_ = std::move(addrs); }
    const std::string& Port() const { return port_; }
    void SetPort(const std::string& value);
    const std::string& Proto() const { return proto_; }
    void SetProto(const std::string& value);
    const std::string& LocalAddr() const { return localAddr_; }
    void SetLocalAddr(const std::string& value);
    const std::string& LocalPort() const { return localPort_; }
    void SetLocalPort(const std::string& value);
    std::string PeerAddr() { return GetPeerAddr(); }
    std::string PeerPort() { return GetPeerPort(); }
    const std::string& DnsResult() const { return dnsResult_; }
    const std::vector<std::string>& DnsResultList() const { return dnsResultList_; }
    TSocketState State() const { return state_; }
    int64_t ReadCount() const { return readCount_; }
    int RcvdCount() { return GetRcvdCount(); }
    int LastError() const { return lastError_; }
    // Text of the last usage error or failing call, for OnError handlers (which get no message argument).
    const std::string& LastErrorMessage() const { return lastErrorMessage_; }
    bool MultiThreaded = false;
    TWSocketOptions ComponentOptions = 0;
    int FlushTimeout = 60;
    TSocketSendFlags SendFlags() const { return sendFlags_; }
    void SetSendFlags(int value);
    TSocketLingerOnOff LingerOnOff = wsLingerOn;
    int LingerTimeout = 0;
    int Handle() const { return fd_; }
    bool AllSent() const { return allSent_; }
    // Size of the send queue's blocks (default TBuffer::kDefaultSize). A bulk sender that hands over
    // large pieces sets it to their size, so each piece is one block and one system send.
    int SendBlockSize() const { return sendBlockSize_; }
    void SetSendBlockSize(int size) { sendBlockSize_ = size > 0 ? size : TBuffer::kDefaultSize; }

    // Events
    TSessionConnected OnSessionConnected;
    TSessionAvailable OnSessionAvailable;
    TDataAvailable OnDataAvailable;
    TDataSent OnDataSent;
    TSendData OnSendData;
    TSessionClosed OnSessionClosed;
    TChangeState OnChangeState;
    TDnsLookupDone OnDnsLookupDone;
    TNotifyEvent OnError;
    TBgExceptionEvent OnBgException;

protected:
    // Steps a derived layer (a proxy negotiation) may intercept.
    virtual void TriggerSessionConnected(uint16_t error);
    virtual void TriggerDataAvailable(uint16_t error);
    virtual void TriggerSessionClosed(uint16_t error);
    virtual void TriggerDataSent(uint16_t error);
    // Last bytes a layer sends on an orderly close, before the write side is shut.
    virtual void SendClosingBytes() {}
    virtual void AssignDefaultValue();
    void SetLastError(int code) { lastError_ = code; }
    bool Paused() const { return paused_; }
    void runGuarded(const std::function<void()>& handler);
    void DoConnect();           // the plain connect to addr_:port_
    // The plain connect to another endpoint (a proxy's); Addr and Port keep naming the destination.
    void DoConnectVia(const std::string& host, const std::string& port);
    void InternalClose(bool shut, uint16_t error);
    void RaiseException(const std::string& msg);
    void SocketError(const std::string& function, int code);
    void ChangeState(TSocketState newState);

private:
    struct Alive {};

    void startConnect(const std::string* viaHost, const std::string* viaPort);
    void resolveForConnect(const std::string* viaHost, const std::string* viaPort);
    void createAndConfigure(int family, int sockType);
    void connectNextAddress();
    void bindLocal();
    void watchEvents();
    void updateInterest();
    void handleEvents(uint32_t events);
    void finishConnect(uint16_t error);
    static bool isNetworkOutcome(int err);
    void postConnectFailure(uint16_t error);
    void handleWrite(uint16_t error);
    void handleClose(uint16_t error);
    void receiveLoop(uint16_t error, bool untilDrained);
    void discardWaitingData();
    void tryToSend();
    TBuffer newSendBlock();
    void dropFrontBlock();
    void postWriteNotification();
    void dnsAnswer(uint64_t lookupId, int error, const std::vector<std::string>& addrs);
    void closeHandleQuietly();

    std::string addr_, port_, proto_ = "tcp", localAddr_ = "0.0.0.0", localPort_ = "0";
    bool addrAssigned_ = false, portAssigned_ = false;
    bool addrResolved_ = false, portResolved_ = false, localPortResolved_ = false, protoResolved_ = false;
    TSocketAddress target_;
    std::vector<std::string> fallbackAddrs_;
    uint16_t sinPort_ = 0, localSinPort_ = 0;
    int protoNumber_ = 6, sockType_ = 0;

    int fd_ = -1;
    uint64_t connectionId_ = 0;     // changes with every handle, so stale notifications are dropped
    TSocketState state_ = wsClosed;
    TSocketSendFlags sendFlags_ = wsSendNormal;
    int lastError_ = 0;
    std::string lastErrorMessage_;
    int64_t readCount_ = 0;
    bool paused_ = false, closeReported_ = false, allSent_ = true, destroying_ = false;
    bool wantWrite_ = false;
    uint16_t carriedError_ = 0;     // a reset seen before the close (connect, receive), reported with it
    std::deque<TBuffer> sendQueue_;
    int sendBlockSize_ = TBuffer::kDefaultSize;
    std::vector<TBuffer> spareBlock_; // at most one emptied large block, kept so bulk sends allocate nothing

    std::string dnsResult_;
    std::vector<std::string> dnsResultList_;
    uint64_t dnsLookupId_ = 0;

    std::shared_ptr<Alive> alive_ = std::make_shared<Alive>();
};

} // namespace brisk

#include "net/tls_wsocket.h"

namespace brisk {

// The socket object the program uses.
class TWSocket : public TCustomTlsWSocket {};

} // namespace brisk

