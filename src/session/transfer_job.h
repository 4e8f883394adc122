#pragma once
#include "sites/server_info.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace brisk {

enum class TransferDirection : uint8_t { Download, Upload };

// The server a queued transfer goes to. A stored site is named by its path in the site list
// ("Folder/Name") and logs in as the site says; a quick-connect session is kept as its address
// only. There is no password here: whoever opens the connection asks for one or takes the site's.
struct QueueSite {
    std::string storedSite;   // empty for a quick-connect session
    std::string host;         // the rest only for a quick-connect session
    uint16_t port = 0;
    std::string user;
    uint8_t security = 0;     // as TFTPServerInfo::Security

    bool operator==(const QueueSite&) const = default;
};

// A quick-connect session's site as the queue keeps it: its address, never its password.
QueueSite QuickConnectSite(const TFTPServerInfo& site);
QueueSite StoredSite(std::string sitePath);

// One file to transfer.
struct TransferJob {
    TransferDirection direction = TransferDirection::Download;
    std::string localPath;
    std::string remotePath;
    int64_t size = -1;   // -1: not known
    QueueSite site;

    bool operator==(const TransferJob&) const = default;
};

// Bounds that keep one item's line in the queue file short, even with every byte escaped.
namespace QueueLimits {
constexpr size_t Path = 4096;
constexpr size_t SiteField = 1024;
constexpr size_t Failure = 2048;
} // namespace QueueLimits

// Why the queue refuses the job, or nullptr when it takes it. The queue file is read by the same
// rules, so nothing the queue saves is refused on the next start: absolute paths without ".."
// components or NUL bytes, a size or -1, a stored site path that stays inside the site list or
// else a host with a port.
const char* JobFault(const TransferJob& job);

} // namespace brisk
