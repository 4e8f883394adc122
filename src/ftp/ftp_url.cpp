#include "ftp/ftp_url.h"

#include "platform/ascii.h"

namespace brisk {

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = lowerAscii(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

bool validPort(const std::string& port)
{
    if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const long value = std::stol(port);
    return value > 0 && value <= 65535;
}

} // namespace

std::string PercentDecode(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0) {
            out += char(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool ParseFtpUrl(const std::string& text, FtpUrl& url, std::string& error)
{
    const std::string scheme = "ftp://";
    if (text.size() < scheme.size() || text.compare(0, scheme.size(), scheme) != 0) {
        error = "URL must begin with ftp://";
        return false;
    }
    std::string rest = text.substr(scheme.size());
    const size_t slash = rest.find('/');
    std::string authority = rest.substr(0, slash);
    url = FtpUrl{};
    if (slash != std::string::npos)
        url.dir = PercentDecode(rest.substr(slash + 1));
    const size_t at = authority.rfind('@');
    if (at != std::string::npos) {
        const std::string userInfo = authority.substr(0, at);
        authority = authority.substr(at + 1);
        const size_t colon = userInfo.find(':');
        url.user = PercentDecode(userInfo.substr(0, colon));
        if (colon != std::string::npos)
            url.password = PercentDecode(userInfo.substr(colon + 1));
        url.hasUser = !url.user.empty();
    }
    const size_t colon = authority.rfind(':');
    if (colon != std::string::npos) {
        url.port = authority.substr(colon + 1);
        authority = authority.substr(0, colon);
        if (!validPort(url.port)) {
            error = "invalid port in URL: " + url.port;
            return false;
        }
    }
    url.host = authority;
    if (url.host.empty()) {
        error = "no host in URL";
        return false;
    }
    if (!url.hasUser) {
        url.user = "anonymous";
        url.password = "anonymous@";
    }
    return true;
}

} // namespace brisk
