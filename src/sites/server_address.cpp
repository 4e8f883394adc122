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

} // namespace

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
    if (const size_t colon = text.find(':'); colon != std::string::npos) {
        site.Port = text.substr(colon + 1);
        text.erase(colon);
    }
    site.Server = text;
}

} // namespace brisk
