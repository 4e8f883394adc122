#include "session/quick_connect.h"

#include "platform/ascii.h"
#include "sites/server_address.h"
#include "sites/site_defaults.h"
#include "sites/site_field_rules.h"

#include <algorithm>

namespace brisk {
namespace {

// Anonymous logins need some password; without the options' e-mail address the one the
// command-line tool sends is as good as any.
constexpr const char* kAnonymousPassword = "anonymous@";

// How the history shows a site: enough to open it again, never its password.
std::string addressOf(const TFTPServerInfo& site)
{
    std::string text = "ftp://";
    if (!site.Anonymous)
        text += site.User + "@";
    text += site.Server.find(':') != std::string::npos ? "[" + site.Server + "]" : site.Server; // IPv6
    if (site.Port != "21")
        text += ":" + site.Port;
    return text + site.InitialDir;
}

} // namespace

QuickConnect::QuickConnect(const TFTPOptions& options, const std::vector<std::string>& history) : options_(options)
{
    for (auto it = history.rbegin(); it != history.rend(); ++it)
        if (!trimmed(*it).empty())
            remember(trimmed(*it));
}

QuickConnectError QuickConnect::check() const
{
    const TFTPServerInfo made = site();
    if (!ServerFieldValid(fields.address) || !ServerFieldValid(made.Server))
        return QuickConnectError::BadHost;
    if (!PortFieldValid(made.Port))
        return QuickConnectError::BadPort;
    return QuickConnectError::None;
}

std::string QuickConnect::errorText(const MainMessages& msl, QuickConnectError error)
{
    switch (error) {
    case QuickConnectError::BadHost: return msl[xmsgBadHostField];
    case QuickConnectError::BadPort: return msl[xmsgBadPortField];
    default: return {};
    }
}

TFTPServerInfo QuickConnect::site() const
{
    TFTPServerInfo site;
    InitSiteDefaults(site, SiteDefaultsFrom(options_));
    site.Security = 0; // an address typed in opens as plain FTP, as it always did
    site.User.clear();
    site.Server = fields.address;
    ParseServerAddress(site);
    if (const std::string user = trimmed(fields.user); !user.empty())
        site.User = user;
    if (!fields.password.empty())
        site.Password = fields.password;
    if (const std::string port = trimmed(fields.port); !port.empty())
        site.Port = port;
    site.Name = site.Server.substr(0, SiteLimits::Name);
    site.Anonymous = site.User.empty() && site.Password.empty();
    site.SavePassword = site.Anonymous || !site.Password.empty();
    if (site.User.empty())
        site.User = "anonymous";
    if (site.Anonymous && site.EMail.empty())
        site.EMail = kAnonymousPassword;
    return site;
}

std::optional<TFTPServerInfo> QuickConnect::take(const MainMessages& msl, std::string& error)
{
    if (const QuickConnectError fault = check(); fault != QuickConnectError::None) {
        error = errorText(msl, fault);
        return std::nullopt;
    }
    known_ = site();
    remember(addressOf(*known_));
    return known_;
}

void QuickConnect::choose(size_t index)
{
    if (index >= history_.size() || fields.address == history_[index])
        return;
    fields = QuickConnectFields{history_[index], "", "", ""};
}

void QuickConnect::remember(const std::string& address)
{
    history_.erase(std::remove(history_.begin(), history_.end(), address), history_.end());
    history_.insert(history_.begin(), address);
    if (history_.size() > kHistorySize)
        history_.resize(kHistorySize);
}

} // namespace brisk
