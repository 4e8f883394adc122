#pragma once
#include "ftp/ftp_security.h"

#include <string>

namespace brisk {

// ftp://[user[:password]@]host[:port][/dir], user and password percent-decoded; ftpes:// is the same
// with TLS required, ftps:// with implicit TLS (port 990 unless given).
struct FtpUrl {
    std::string user;
    std::string password;
    bool hasUser = false;
    std::string host;
    std::string port = "21";
    TFtpSecurity security = ftpSecurityPlain;
    bool securityNamed = false; // the scheme was ftpes:// or ftps://
    std::string dir; // the path after the host's "/", relative to the login directory unless it begins with "/"
};

bool ParseFtpUrl(const std::string& text, FtpUrl& url, std::string& error);

// %XX sequences decoded; malformed ones are kept as written.
std::string PercentDecode(const std::string& text);

} // namespace brisk
