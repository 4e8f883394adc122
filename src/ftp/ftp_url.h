#pragma once
#include <string>

namespace brisk {

// ftp://[user[:password]@]host[:port][/dir], user and password percent-decoded.
struct FtpUrl {
    std::string user;
    std::string password;
    bool hasUser = false;
    std::string host;
    std::string port = "21";
    std::string dir; // the path after the host's "/", relative to the login directory unless it begins with "/"
};

bool ParseFtpUrl(const std::string& text, FtpUrl& url, std::string& error);

// %XX sequences decoded; malformed ones are kept as written.
std::string PercentDecode(const std::string& text);

} // namespace brisk
