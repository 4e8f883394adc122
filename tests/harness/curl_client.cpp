#include "curl_client.h"

#include <cctype>
#include <cstdio>

namespace brisk::test {
namespace {

std::string percentEncoded(const std::string& text)
{
    std::string out;
    for (const unsigned char c : text) {
        if (std::isalnum(c) != 0 || c == '-' || c == '.' || c == '_' || c == '~') {
            out += static_cast<char>(c);
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            out += escaped;
        }
    }
    return out;
}

} // namespace

std::string ftpUrl(uint16_t port, const std::string& user, const std::string& password, const std::string& path)
{
    std::string url = "ftp://";
    if (!user.empty())
        url += percentEncoded(user) + ":" + percentEncoded(password) + "@";
    return url + "127.0.0.1:" + std::to_string(port) + path;
}

CommandResult curlFtp(FtpDataMode mode, const std::vector<std::string>& args)
{
    std::vector<std::string> argv = {"curl", "--silent", "--show-error", "--max-time", "20"};
    if (mode == FtpDataMode::Passive)
        argv.push_back("--disable-epsv");
    else
        argv.insert(argv.end(), {"--ftp-port", "127.0.0.1", "--disable-eprt"});
    argv.insert(argv.end(), args.begin(), args.end());
    return runCommand(argv, {}, std::chrono::seconds(30));
}

} // namespace brisk::test
