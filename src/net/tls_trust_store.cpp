#include "net/tls_trust_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>

namespace brisk {

namespace {

// The host of a well-formed line, or "" for anything else.
std::string lineHost(const std::string& line, std::string* fingerprint)
{
    std::istringstream in(line);
    std::string host, print, rest;
    if (!(in >> host >> print) || (in >> rest) || host.find(':') == std::string::npos || print.size() != 95)
        return {};
    if (fingerprint)
        *fingerprint = print;
    return host;
}

std::vector<std::string> readLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

bool writeAll(int fd, const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}

// A new file beside `path`, created where nothing was; -1 when none could be made.
int createUniqueBeside(const std::string& path, std::string& name)
{
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = path + ".new." + std::to_string(::getpid()) + "." + std::to_string(++counter) + "." +
               std::to_string(std::random_device{}());
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool replaceWith(const std::string& path, const std::string& text)
{
    std::string temp;
    const int fd = createUniqueBeside(path, temp);
    if (fd < 0)
        return false;
    const bool written = ::fchmod(fd, 0600) == 0 && writeAll(fd, text) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !written || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

} // namespace

std::string TlsTrustStore::Key(const std::string& host, const std::string& port)
{
    const bool ipv6 = host.find(':') != std::string::npos; // "[::1]:990", not "::1:990"
    const bool digits = !port.empty() && port.find_first_not_of("0123456789") == std::string::npos;
    const size_t first = digits ? std::min(port.find_first_not_of('0'), port.size() - 1) : 0;
    return (ipv6 ? "[" + host + "]" : host) + ":" + port.substr(first);
}

std::string TlsTrustStore::Fingerprint(const std::string& hostPort) const
{
    for (const std::string& line : readLines(path_)) {
        std::string print;
        if (lineHost(line, &print) == hostPort)
            return print;
    }
    return {};
}

// Another program may save at the same time: the file is re-read and replaced while a lock on its side
// file is held, so neither save drops the other's entry. The new content goes to a fresh file of a
// name nobody could have planted a link at, and replaces the old one whole.
bool TlsTrustStore::Remember(const std::string& hostPort, const std::string& fingerprint) const
{
    const int lock = ::open((path_ + ".lock").c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (lock < 0)
        return false;
    bool stored = false;
    if (::flock(lock, LOCK_EX) == 0) {
        std::string text;
        for (const std::string& line : readLines(path_))
            if (lineHost(line, nullptr) != hostPort)
                text += line + "\n";
        stored = replaceWith(path_, text + hostPort + " " + fingerprint + "\n");
    }
    ::close(lock); // releases the lock
    return stored;
}

} // namespace brisk
