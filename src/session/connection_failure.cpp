#include "session/connection_failure.h"

#include "net/socket_error_text.h"
#include "platform/wsa_errors.h"

namespace brisk {

std::string ConnectionFailureText(const MainMessages& msl, const std::string& host, const std::string& port,
                                  uint16_t error)
{
    const auto text = [&](MainExtraMessage message) { return FormatMessage(msl[message], {host, port}); };
    switch (error) {
    case wsa::ECONNREFUSED_: return text(xmsgRefused);
    case wsa::HOST_NOT_FOUND_:
    case wsa::NO_DATA_:
    case wsa::NO_RECOVERY_: return text(xmsgNameNotFound);
    case wsa::TRY_AGAIN_: return text(xmsgTryAgain);
    case wsa::ETIMEDOUT_: return text(xmsgNoAnswer);
    case wsa::ENETUNREACH_:
    case wsa::EHOSTUNREACH_: return text(xmsgUnreachable);
    case wsa::ECONNRESET_:
    case wsa::ECONNABORTED_: return text(xmsgClosedEarly);
    case wsa::EINVAL_:
    case wsa::EADDRNOTAVAIL_: return text(xmsgBadPort);
    default: return FormatMessage(msl[xmsgConnectFailed], {host, port, WSocketErrorDesc(error)});
    }
}

} // namespace brisk
