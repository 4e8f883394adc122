#include "session/transfer_job.h"

#include "sites/server_address.h"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace brisk {
namespace {

bool hasDotDot(std::string_view path)
{
    size_t start = 0;
    while (start <= path.size()) {
        const size_t end = std::min(path.find('/', start), path.size());
        if (path.substr(start, end - start) == "..")
            return true;
        start = end + 1;
    }
    return false;
}

const char* pathFault(std::string_view path, const char* notAbsolute)
{
    if (path.empty() || path.front() != '/')
        return notAbsolute;
    if (path.size() > QueueLimits::Path)
        return "a path is too long";
    if (path.find('\0') != std::string_view::npos)
        return "a path holds a NUL byte";
    return hasDotDot(path) ? "a path has a \"..\" component" : nullptr;
}

const char* siteFault(const QueueSite& site)
{
    for (const std::string* field : {&site.storedSite, &site.host, &site.user})
        if (field->size() > QueueLimits::SiteField || field->find('\0') != std::string::npos)
            return "a site field is too long or holds a NUL byte";
    if (!site.storedSite.empty() && (site.storedSite.front() == '/' || hasDotDot(site.storedSite)))
        return "the stored site's path leaves the site list";
    if (!site.storedSite.empty())
        return site == StoredSite(site.storedSite) ? nullptr : "a stored site also has an address";
    if (site.host.empty() || site.port == 0)
        return "the site has no host or no port";
    return site.security > 3 ? "the security mode is unknown" : nullptr;
}

} // namespace

QueueSite QuickConnectSite(const TFTPServerInfo& site)
{
    const std::string port = SitePort(site);
    uint16_t number = 0;
    const auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), number);
    if (ec != std::errc() || end != port.data() + port.size())
        number = 0;   // the queue refuses the job
    return QueueSite{"", site.Server, number, site.User, site.Security};
}

QueueSite StoredSite(std::string sitePath)
{
    QueueSite site;
    site.storedSite = std::move(sitePath);
    return site;
}

const char* JobFault(const TransferJob& job)
{
    if (const char* fault = pathFault(job.localPath, "the local path is not absolute"))
        return fault;
    if (const char* fault = pathFault(job.remotePath, "the remote path does not start with \"/\""))
        return fault;
    if (job.size < -1)
        return "the size is negative";
    return siteFault(job.site);
}

} // namespace brisk
