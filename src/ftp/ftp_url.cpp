#include "ftp/ftp_url.h"

#include "net/socket_resolve.h"
#include "platform/ascii.h"

#include <algorithm>

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

// ftps:// is TLS from the first byte, on its own port.
bool ParseScheme(const std::string& text, FtpUrl& url, size_t& length)
{
    static const struct {
        const char* prefix;
        TFtpSecurity security;
    } schemes[] = {{"ftp://", ftpSecurityPlain}, {"ftpes://", ftpSecurityExplicitRequired}, {"ftps://", ftpSecurityImplicit}};
    for (const auto& scheme : schemes) {
        const std::string prefix = scheme.prefix;
        if (text.compare(0, prefix.size(), prefix) != 0)
            continue;
        length = prefix.size();
        url.security = scheme.security;
        url.securityNamed = scheme.security != ftpSecurityPlain;
        if (scheme.security == ftpSecurityImplicit)
            url.port = "990";
        return true;
    }
    return false;
}

// "host[:port]" or "[IPv6 address][:port]"; an IPv6 address without brackets is refused, since its
// last part could be read as a port.
bool splitHostPort(const std::string& authority, FtpUrl& url, std::string& error)
{
    std::string rest = authority;
    if (!authority.empty() && authority.front() == '[') {
        const size_t close = authority.find(']');
        if (close == std::string::npos || !WSocketIsIPv6(authority.substr(0, close + 1))) {
            error = "invalid IPv6 address in URL: " + authority;
            return false;
        }
        url.host = authority.substr(1, close - 1);
        rest = authority.substr(close + 1);
        if (!rest.empty() && rest.front() != ':') {
            error = "invalid IPv6 address in URL: " + authority;
            return false;
        }
    } else if (std::count(authority.begin(), authority.end(), ':') > 1) {
        error = "an IPv6 address in a URL must be written in brackets: [" + authority + "]";
        return false;
    } else {
        url.host = authority.substr(0, authority.find(':'));
    }
    const size_t colon = rest.find(':');
    if (colon == std::string::npos)
        return true;
    url.port = rest.substr(colon + 1);
    if (!validPort(url.port)) {
        error = "invalid port in URL: " + url.port;
        return false;
    }
    return true;
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
    url = FtpUrl{};
    size_t schemeLength = 0;
    if (!ParseScheme(text, url, schemeLength)) {
        error = "URL must begin with ftp://, ftpes:// or ftps://";
        return false;
    }
    std::string rest = text.substr(schemeLength);
    const size_t slash = rest.find('/');
    std::string authority = rest.substr(0, slash);
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
    if (!splitHostPort(authority, url, error))
        return false;
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
