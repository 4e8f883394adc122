#pragma once
#include "scripted_ftp_peer.h"

#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace brisk::test {

// A scripted FTP server that keeps a small file tree in memory and answers the commands of a
// session (login, SYST, PWD, CWD, CDUP, TYPE, PASV, LIST, SIZE, REST, RETR, STOR, APPE, DELE, RMD, MKD,
// RNFR/RNTO, SITE CHMOD) as a Unix server would. Single lines can be made to fail with
// `peer().onLine(line, reply)`, and a directory's listing can be replaced by raw text for names no
// file system holds.
class TreeFtpPeer {
public:
    TreeFtpPeer();

    ScriptedFtpPeer& peer() { return peer_; }
    uint16_t port() const { return peer_.port(); }

    // Paths are absolute; missing parent directories are created.
    void addFile(const std::string& path, int64_t size = 1);
    void addDir(const std::string& path);
    void addLink(const std::string& path, const std::string& target);
    // Listings in the fixed columns of Windows servers instead of the Unix form (no links there).
    void useWindowsListings() { windowsListings_ = true; }
    // The LIST answer for `dir`, exactly as given (lines with CR LF), instead of its entries.
    void setRawListing(const std::string& dir, std::string raw);

    // LIST in `dir` answers `reply` (a 4xx or 5xx line with CR LF) and sends no data.
    void failListing(const std::string& dir, std::string reply);
    // The next transfer of file `path` breaks half-way: RETR sends half of it, STOR keeps half of what it
    // received; either then answers "426 Connection reset.".
    void cutTransfer(const std::string& path);

    // The directory each login starts in (default "/").
    void setHome(const std::string& dir);

    bool exists(const std::string& path) const;
    // Every path held, sorted.
    std::vector<std::string> paths() const;
    // A file's size, -1 when there is no such file.
    int64_t sizeOf(const std::string& path) const;
    // The mode a SITE CHMOD gave a path, or "" when none did.
    std::string modeOf(const std::string& path) const;

private:
    struct Node {
        explicit Node(char k = '-', int64_t s = 0, std::string t = {}) : kind(k), size(s), target(std::move(t)) {}
        char kind;            // 'd' directory, '-' file, 'l' symbolic link
        int64_t size;
        std::string target;
        std::string mode;     // set by SITE CHMOD
    };

    void install();
    std::string resolve(const std::string& arg) const;
    std::string listingOf(const std::string& dir) const;
    std::string lineOf(const std::string& name, const Node& node) const;
    bool hasChildren(const std::string& dir) const;
    void add(const std::string& path, Node node);

    mutable std::mutex mutex_;
    std::map<std::string, Node> nodes_;   // "/" always present
    std::map<std::string, std::string> rawListings_;
    std::map<std::string, std::string> failedListings_;
    std::vector<std::string> cutTransfers_;
    bool windowsListings_ = false;
    std::string home_ = "/";
    std::string cwd_ = "/";
    std::string renameFrom_;
    int64_t restAt_ = 0;
    ScriptedFtpPeer peer_;
};

} // namespace brisk::test
