#include "tree_ftp_peer.h"

#include <algorithm>
#include <sstream>
#include <utility>

namespace brisk::test {
namespace {

std::string argumentOf(const std::string& line)
{
    const size_t space = line.find(' ');
    return space == std::string::npos ? std::string() : line.substr(space + 1);
}

std::string parentOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path)
{
    return path.substr(path.rfind('/') + 1);
}

void sendOverData(PeerSession& s, const std::string& bytes)
{
    s.send("150 Opening data connection.\r\n");
    s.acceptData();
    s.sendData(bytes);
    s.closeData();
    s.send("226 Done.\r\n");
}

} // namespace

TreeFtpPeer::TreeFtpPeer()
{
    nodes_["/"] = Node{'d'};
    install();
}

void TreeFtpPeer::add(const std::string& path, Node node)
{
    std::lock_guard<std::mutex> lock(mutex_);
    for (std::string dir = parentOf(path); !nodes_.count(dir); dir = parentOf(dir))
        nodes_[dir] = Node{'d'};
    nodes_[path] = std::move(node);
}

void TreeFtpPeer::addFile(const std::string& path, int64_t size) { add(path, Node{'-', size}); }
void TreeFtpPeer::addDir(const std::string& path) { add(path, Node{'d'}); }
void TreeFtpPeer::addLink(const std::string& path, const std::string& target) { add(path, Node{'l', 0, target}); }

void TreeFtpPeer::setHome(const std::string& dir)
{
    addDir(dir);
    std::lock_guard<std::mutex> lock(mutex_);
    home_ = cwd_ = dir;
}

void TreeFtpPeer::setRawListing(const std::string& dir, std::string raw)
{
    std::lock_guard<std::mutex> lock(mutex_);
    rawListings_[dir] = std::move(raw);
}

void TreeFtpPeer::failListing(const std::string& dir, std::string reply)
{
    std::lock_guard<std::mutex> lock(mutex_);
    failedListings_[dir] = std::move(reply);
}

void TreeFtpPeer::cutTransfer(const std::string& path)
{
    std::lock_guard<std::mutex> lock(mutex_);
    cutTransfers_.push_back(path);
}

bool TreeFtpPeer::exists(const std::string& path) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return nodes_.count(path) != 0;
}

std::vector<std::string> TreeFtpPeer::paths() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> out;
    for (const auto& [path, node] : nodes_)
        out.push_back(path);
    return out;
}

int64_t TreeFtpPeer::sizeOf(const std::string& path) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = nodes_.find(path);
    return it == nodes_.end() || it->second.kind != '-' ? -1 : it->second.size;
}

std::string TreeFtpPeer::modeOf(const std::string& path) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = nodes_.find(path);
    return it == nodes_.end() ? std::string() : it->second.mode;
}

// An argument as a path: relative ones from the current directory; "." and ".." are followed.
std::string TreeFtpPeer::resolve(const std::string& arg) const
{
    std::vector<std::string> parts;
    std::istringstream in(arg.rfind('/', 0) == 0 ? arg : cwd_ + "/" + arg);
    for (std::string part; std::getline(in, part, '/');) {
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
    }
    std::string path;
    for (const std::string& part : parts)
        path += "/" + part;
    return path.empty() ? "/" : path;
}

bool TreeFtpPeer::hasChildren(const std::string& dir) const
{
    const std::string prefix = dir == "/" ? "/" : dir + "/";
    const auto it = nodes_.upper_bound(prefix);
    return it != nodes_.end() && it->first.rfind(prefix, 0) == 0;
}

std::string TreeFtpPeer::listingOf(const std::string& dir) const
{
    if (const auto raw = rawListings_.find(dir); raw != rawListings_.end())
        return raw->second;
    std::string out;
    const std::string prefix = dir == "/" ? "/" : dir + "/";
    for (auto it = nodes_.upper_bound(prefix); it != nodes_.end() && it->first.rfind(prefix, 0) == 0; ++it) {
        if (it->first.find('/', prefix.size()) != std::string::npos)
            continue;
        out += lineOf(nameOf(it->first), it->second);
    }
    return out;
}

std::string TreeFtpPeer::lineOf(const std::string& name, const Node& node) const
{
    if (windowsListings_) {
        const std::string size = node.kind == 'd' ? "" : std::to_string(node.size);
        return "01-01-20 12:00AM   " + std::string(node.kind == 'd' ? "<DIR>     " : "          ") +
               std::string(9 - size.size(), ' ') + size + " " + name + "\r\n";
    }
    const std::string perms = node.kind == 'd' ? "drwxr-xr-x" : node.kind == 'l' ? "lrwxrwxrwx" : "-rw-r--r--";
    return perms + "   1 owner    group    " + std::to_string(node.size) + " Jan 01  2020 " + name +
           (node.kind == 'l' ? " -> " + node.target : "") + "\r\n";
}

void TreeFtpPeer::install()
{
    // A handler of the command's argument, run under the tree's lock.
    const auto locked = [this](auto handler) {
        return [this, handler](PeerSession& s, const std::string& line) {
            std::lock_guard<std::mutex> lock(mutex_);
            handler(s, argumentOf(line));
        };
    };
    peer_.on("USER", locked([this](PeerSession& s, const std::string&) {
        cwd_ = home_;
        s.send("331 Password required.\r\n");
    }));
    peer_.on("PASS", "230 Logged in.\r\n");
    peer_.on("SYST", "215 UNIX Type: L8\r\n");
    peer_.on("TYPE", "200 Type set.\r\n");
    peer_.on("NOOP", "200 OK.\r\n");
    peer_.on("PWD", locked([this](PeerSession& s, const std::string&) {
        s.send("257 \"" + cwd_ + "\" is the current directory.\r\n");
    }));
    peer_.on("CWD", locked([this](PeerSession& s, const std::string& arg) {
        const std::string path = resolve(arg);
        const auto it = nodes_.find(path);
        if (arg.empty() || it == nodes_.end() || it->second.kind != 'd')
            return s.send("550 No such directory.\r\n");
        cwd_ = path;
        s.send("250 Directory changed.\r\n");
    }));
    peer_.on("CDUP", locked([this](PeerSession& s, const std::string&) {
        cwd_ = parentOf(cwd_);
        s.send("250 Directory changed.\r\n");
    }));
    peer_.on("PASV", [](PeerSession& s, const std::string&) { s.send(PeerSession::passiveReply(s.listenForData())); });
    peer_.on("LIST", [this](PeerSession& s, const std::string&) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (const auto failed = failedListings_.find(cwd_); failed != failedListings_.end())
            return s.send(failed->second);
        const std::string text = listingOf(cwd_);
        lock.unlock();
        sendOverData(s, text);
    });
    peer_.on("DELE", locked([this](PeerSession& s, const std::string& arg) {
        const auto it = nodes_.find(resolve(arg));
        if (it == nodes_.end() || it->second.kind == 'd')
            return s.send("550 No such file.\r\n");
        nodes_.erase(it);
        s.send("250 Deleted.\r\n");
    }));
    peer_.on("RMD", locked([this](PeerSession& s, const std::string& arg) {
        const std::string path = resolve(arg);
        const auto it = nodes_.find(path);
        if (it == nodes_.end() || it->second.kind != 'd' || path == "/" || path == cwd_)
            return s.send("550 Cannot remove.\r\n");
        if (hasChildren(path))
            return s.send("550 Directory not empty.\r\n");
        nodes_.erase(it);
        s.send("250 Removed.\r\n");
    }));
    peer_.on("MKD", locked([this](PeerSession& s, const std::string& arg) {
        const std::string path = resolve(arg);
        if (nodes_.count(path) || !nodes_.count(parentOf(path)))
            return s.send("550 Cannot create.\r\n");
        nodes_[path] = Node{'d'};
        s.send("257 \"" + path + "\" created.\r\n");
    }));
    peer_.on("RNFR", locked([this](PeerSession& s, const std::string& arg) {
        renameFrom_ = resolve(arg);
        s.send(nodes_.count(renameFrom_) ? "350 Ready.\r\n" : "550 No such file.\r\n");
    }));
    peer_.on("RNTO", locked([this](PeerSession& s, const std::string& arg) {
        const std::string to = resolve(arg);
        if (!nodes_.count(renameFrom_) || nodes_.count(to) || renameFrom_ == "/")
            return s.send("550 Cannot rename.\r\n");
        std::map<std::string, Node> moved;
        for (auto it = nodes_.begin(); it != nodes_.end();) {
            if (it->first == renameFrom_ || it->first.rfind(renameFrom_ + "/", 0) == 0) {
                moved[to + it->first.substr(renameFrom_.size())] = it->second;
                it = nodes_.erase(it);
            } else {
                ++it;
            }
        }
        nodes_.merge(moved);
        s.send("250 Renamed.\r\n");
    }));
    peer_.on("REST", locked([this](PeerSession& s, const std::string& arg) {
        restAt_ = std::stoll(arg);
        s.send("350 Restarting.\r\n");
    }));
    // A file's contents are its size in "x" bytes; a stored file keeps only its size.
    peer_.on("RETR", [this](PeerSession& s, const std::string& line) {
        int64_t size = 0, from = 0;
        bool cut = false;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            const std::string path = resolve(argumentOf(line));
            const auto it = nodes_.find(path);
            if (it == nodes_.end() || it->second.kind != '-')
                return s.send("550 No such file.\r\n");
            size = it->second.size;
            from = std::min(std::exchange(restAt_, 0), size);
            cut = std::erase(cutTransfers_, path) != 0;
        }
        if (!cut)
            return sendOverData(s, std::string(size_t(size - from), 'x'));
        s.send("150 Opening data connection.\r\n");
        s.acceptData();
        s.sendData(std::string(size_t(size - from) / 2, 'x'));
        s.closeData();
        s.send("426 Connection reset.\r\n");
    });
    peer_.on("STOR", [this](PeerSession& s, const std::string& line) {
        const std::string path = [&] {
            std::lock_guard<std::mutex> lock(mutex_);
            return resolve(argumentOf(line));
        }();
        s.send("150 Receiving.\r\n");
        s.acceptData();
        const std::string bytes = s.receiveDataUntilClose();
        std::lock_guard<std::mutex> lock(mutex_);
        if (!nodes_.count(parentOf(path)))
            return s.send("553 No such directory.\r\n");
        const bool cut = std::erase(cutTransfers_, path) != 0;
        nodes_[path] = Node{'-', restAt_ + int64_t(cut ? bytes.size() / 2 : bytes.size())};
        restAt_ = 0;
        s.send(cut ? "426 Connection reset.\r\n" : "226 Stored.\r\n");
    });
    peer_.on("APPE", [this](PeerSession& s, const std::string& line) {
        const std::string path = [&] {
            std::lock_guard<std::mutex> lock(mutex_);
            return resolve(argumentOf(line));
        }();
        s.send("150 Appending.\r\n");
        s.acceptData();
        const std::string bytes = s.receiveDataUntilClose();
        std::lock_guard<std::mutex> lock(mutex_);
        const auto it = nodes_.find(path);
        if (it == nodes_.end() || it->second.kind != '-')
            return s.send("553 No such file.\r\n");
        it->second.size += int64_t(bytes.size());
        s.send("226 Appended.\r\n");
    });
    peer_.on("SIZE", locked([this](PeerSession& s, const std::string& arg) {
        const auto it = nodes_.find(resolve(arg));
        if (it == nodes_.end() || it->second.kind != '-')
            return s.send("550 No such file.\r\n");
        s.send("213 " + std::to_string(it->second.size) + "\r\n");
    }));
    peer_.on("SITE", locked([this](PeerSession& s, const std::string& arg) {
        std::istringstream in(arg);
        std::string chmod, mode, name;
        in >> chmod >> mode;
        std::getline(in >> std::ws, name);
        const auto it = nodes_.find(resolve(name));
        if (chmod != "CHMOD" || it == nodes_.end())
            return s.send("550 Cannot change mode.\r\n");
        it->second.mode = mode;
        s.send("200 Mode changed.\r\n");
    }));
}

} // namespace brisk::test
