#pragma once

namespace brisk {

// Socket error numbers as the program reports them (the Windows Sockets numbering, so that every error
// code and text a user sees is the same on every platform).
namespace wsa {
constexpr int EINTR_ = 10004;
constexpr int EBADF_ = 10009;
constexpr int EACCES_ = 10013;
constexpr int EFAULT_ = 10014;
constexpr int EINVAL_ = 10022;
constexpr int EMFILE_ = 10024;
constexpr int EWOULDBLOCK_ = 10035;
constexpr int EINPROGRESS_ = 10036;
constexpr int EALREADY_ = 10037;
constexpr int ENOTSOCK_ = 10038;
constexpr int EADDRINUSE_ = 10048;
constexpr int EADDRNOTAVAIL_ = 10049;
constexpr int ENETUNREACH_ = 10051;
constexpr int ECONNABORTED_ = 10053;
constexpr int ECONNRESET_ = 10054;
constexpr int ENOTCONN_ = 10057;
constexpr int ETIMEDOUT_ = 10060;
constexpr int ECONNREFUSED_ = 10061;
constexpr int EHOSTUNREACH_ = 10065;
constexpr int NOTINITIALISED_ = 10093;
constexpr int HOST_NOT_FOUND_ = 11001;
constexpr int TRY_AGAIN_ = 11002;
constexpr int NO_RECOVERY_ = 11003;
constexpr int NO_DATA_ = 11004;
} // namespace wsa

// Maps a POSIX errno value to its Windows Sockets number (unknown values map to themselves + 10000).
int wsaFromErrno(int err);

// Maps a getaddrinfo() result (EAI_*) to a Windows Sockets lookup error number.
int wsaFromGaiError(int gaiErr, int savedErrno);

} // namespace brisk
