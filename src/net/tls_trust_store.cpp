#include "net/tls_trust_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
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

} // namespace

std::string TlsTrustStore::Fingerprint(const std::string& hostPort) const
{
    for (const std::string& line : readLines(path_)) {
        std::string print;
        if (lineHost(line, &print) == hostPort)
            return print;
    }
    return {};
}

// Written to a new file that replaces the old one, so a failure leaves the old one whole.
bool TlsTrustStore::Remember(const std::string& hostPort, const std::string& fingerprint) const
{
    std::string text;
    for (const std::string& line : readLines(path_))
        if (lineHost(line, nullptr) != hostPort)
            text += line + "\n";
    text += hostPort + " " + fingerprint + "\n";
    const std::string temp = path_ + ".new";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const bool written = ::fchmod(fd, 0600) == 0 && writeAll(fd, text) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !written || ::rename(temp.c_str(), path_.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

} // namespace brisk
