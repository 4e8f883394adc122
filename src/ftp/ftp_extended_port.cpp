#include "ftp/ftp_extended_port.h"

#include "ftp/ftp_reply.h"

namespace brisk {

int FtpExtendedPassivePort(const std::string& reply)
{
    const size_t open = reply.find('(');
    if (open == std::string::npos || reply.size() < open + 6)
        return -1;
    const char d = reply[open + 1];
    if (d < 33 || d > 126 || (d >= '0' && d <= '9') || reply[open + 2] != d || reply[open + 3] != d)
        return -1;
    int port = 0;
    size_t i = open + 4;
    for (; i < reply.size() && reply[i] >= '0' && reply[i] <= '9' && i < open + 9; ++i)
        port = port * 10 + (reply[i] - '0');
    if (i == open + 4 || i + 1 >= reply.size() || reply[i] != d || reply[i + 1] != ')')
        return -1;
    return port >= 1 && port <= 65535 ? port : -1;
}

int FtpDataPort(const std::string& reply)
{
    return FtpReplyCode(reply) == 229 ? FtpExtendedPassivePort(reply) : FtpPassivePort(reply);
}

} // namespace brisk
