#include "sites/server_address.h"

#include "platform/ascii.h"

#include <algorithm>

namespace brisk {
namespace {

void dropScheme(std::string& text, const std::string& scheme)
{
    if (startsWithNoCase(text, scheme))
        text.erase(0, scheme.size());
}

void takeLogin(std::string& text, TFTPServerInfo& site)
{
    // Host names never hold "@", so an "@" inside the password stays with the password.
    const size_t at = text.rfind('@');
    if (at == std::string::npos)
        return;
    const std::string login = text.substr(0, at);
    text.erase(0, at + 1);
    const size_t colon = login.find(':');
    if (colon == std::string::npos) {
        site.User = login;
        return;
    }
    site.User = login.substr(0, colon);
    site.Password = login.substr(colon + 1);
}

// "[v6-address]:port", "host:port"; a bare IPv6 address ("::1") has no port to take.
void takePort(std::string& text, TFTPServerInfo& site)
{
    if (!text.empty() && text.front() == '[') {
        const size_t close = text.find(']');
        if (close == std::string::npos)
            return;
        if (close + 1 < text.size() && text[close + 1] == ':')
            site.Port = text.substr(close + 2);
        text = text.substr(1, close - 1);
        return;
    }
    const size_t colon = text.find(':');
    if (colon == std::string::npos || text.find(':', colon + 1) != std::string::npos)
        return;
    site.Port = text.substr(colon + 1);
    text.erase(colon);
}

std::string percentEncoded(const std::string& text, const std::string& special)
{
    static const char* const hex = "0123456789ABCDEF";
    std::string out;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= ' ' || byte == 0x7F || c == '%' || special.find(c) != std::string::npos) {
            out += '%';
            out += hex[byte >> 4];
            out += hex[byte & 15];
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

std::string SiteAddress(const TFTPServerInfo& stored)
{
    TFTPServerInfo site = stored;
    ParseServerAddress(site);
    std::string address = "ftp://";
    if (!site.Anonymous && !site.User.empty())
        address += percentEncoded(site.User, "@:/") + "@";
    const bool ipv6 = site.Server.find(':') != std::string::npos;
    address += ipv6 ? "[" + percentEncoded(site.Server, "@/[]") + "]" : percentEncoded(site.Server, "@/");
    const std::string port = trimmed(site.Port);
    if (!port.empty() && port != "21")
        address += ":" + percentEncoded(port, "@/");
    if (!site.InitialDir.empty())
        address += (site.InitialDir.front() == '/' ? "" : "/") + percentEncoded(site.InitialDir, "");
    return address;
}

std::string SitePort(const TFTPServerInfo& site)
{
    const std::string port = trimmed(site.Port);
    if (!port.empty())
        return port;
    return site.Security == 3 ? "990" : "21";
}

void ParseServerAddress(TFTPServerInfo& site)
{
    std::string text = trimmed(site.Server);
    dropScheme(text, "ftp://");
    dropScheme(text, "http://");
    text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
    takeLogin(text, site);
    if (const size_t slash = text.find('/'); slash != std::string::npos) {
        site.InitialDir = text.substr(slash, SiteLimits::InitialDir);
        text.erase(slash);
    }
    takePort(text, site);
    site.Server = text;
}

} // namespace brisk
