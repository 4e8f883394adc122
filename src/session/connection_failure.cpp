#include "session/connection_failure.h"

#include "net/socket_error_text.h"
#include "platform/wsa_errors.h"

namespace brisk {

std::string ConnectionFailureText(const std::string& host, const std::string& port, uint16_t error)
{
    const std::string server = "The server " + host;
    switch (error) {
    case wsa::ECONNREFUSED_:
        return server + " refused the connection on port " + port + ".";
    case wsa::HOST_NOT_FOUND_:
    case wsa::NO_DATA_:
    case wsa::NO_RECOVERY_:
        return "The server name " + host + " was not found.";
    case wsa::TRY_AGAIN_:
        return "The server name " + host + " could not be looked up now; try again later.";
    case wsa::ETIMEDOUT_:
        return server + " did not answer on port " + port + " in time.";
    case wsa::ENETUNREACH_:
    case wsa::EHOSTUNREACH_:
        return server + " cannot be reached from this computer.";
    case wsa::ECONNRESET_:
    case wsa::ECONNABORTED_:
        return server + " closed the connection before it was ready.";
    case wsa::EINVAL_:
    case wsa::EADDRNOTAVAIL_:
        return "The port \"" + port + "\" of the server " + host + " is not a port number from 1 to 65535.";
    default:
        return "The connection to " + host + " on port " + port + " failed: " + WSocketErrorDesc(error) + ".";
    }
}

} // namespace brisk
