#include "platform/wsa_errors.h"

#include <cerrno>
#include <netdb.h>

namespace brisk {

int wsaFromErrno(int err)
{
    switch (err) {
    case 0: return 0;
    case EINTR: return wsa::EINTR_;
    case EBADF: return wsa::EBADF_;
    case EACCES: case EPERM: return wsa::EACCES_;
    case EFAULT: return wsa::EFAULT_;
    case EINVAL: return wsa::EINVAL_;
    case EMFILE: case ENFILE: return wsa::EMFILE_;
    case EAGAIN: return wsa::EWOULDBLOCK_;
    case EINPROGRESS: return wsa::EINPROGRESS_;
    case EALREADY: return wsa::EALREADY_;
    case ENOTSOCK: return wsa::ENOTSOCK_;
    case EDESTADDRREQ: return 10039;
    case EMSGSIZE: return 10040;
    case EPROTOTYPE: return 10041;
    case ENOPROTOOPT: return 10042;
    case EPROTONOSUPPORT: return 10043;
    case ESOCKTNOSUPPORT: return 10044;
    case EOPNOTSUPP: return 10045;
    case EPFNOSUPPORT: return 10046;
    case EAFNOSUPPORT: return 10047;
    case EADDRINUSE: return wsa::EADDRINUSE_;
    case EADDRNOTAVAIL: return wsa::EADDRNOTAVAIL_;
    case ENETDOWN: return 10050;
    case ENETUNREACH: return wsa::ENETUNREACH_;
    case ENETRESET: return 10052;
    case ECONNABORTED: return wsa::ECONNABORTED_;
    case ECONNRESET: case EPIPE: return wsa::ECONNRESET_;
    case ENOBUFS: case ENOMEM: return 10055;
    case EISCONN: return 10056;
    case ENOTCONN: return wsa::ENOTCONN_;
    case ESHUTDOWN: return 10058;
    case ETOOMANYREFS: return 10059;
    case ETIMEDOUT: return wsa::ETIMEDOUT_;
    case ECONNREFUSED: return wsa::ECONNREFUSED_;
    case ELOOP: return 10062;
    case ENAMETOOLONG: return 10063;
    case EHOSTDOWN: return 10064;
    case EHOSTUNREACH: return wsa::EHOSTUNREACH_;
    case ENOTEMPTY: return 10066;
    case EUSERS: return 10068;
    case EDQUOT: return 10069;
    case ESTALE: return 10070;
    case EREMOTE: return 10071;
    default: return 10000 + err;
    }
}

int wsaFromGaiError(int gaiErr, int savedErrno)
{
    switch (gaiErr) {
    case 0: return 0;
    case EAI_NONAME: return wsa::HOST_NOT_FOUND_;
#ifdef EAI_NODATA
    case EAI_NODATA: return wsa::NO_DATA_;
#endif
    case EAI_AGAIN: return wsa::TRY_AGAIN_;
    case EAI_SYSTEM: return savedErrno ? wsaFromErrno(savedErrno) : wsa::NO_RECOVERY_;
    default: return wsa::NO_RECOVERY_;
    }
}

} // namespace brisk
