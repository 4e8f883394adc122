#pragma once
#include <string>

namespace brisk {

// Fingerprints of certificates the user chose to trust always, one "host:port SHA256" per line in a file
// only its owner may read or write. Lines that do not look like that are skipped, and kept as they are.
class TlsTrustStore {
public:
    explicit TlsTrustStore(std::string path) : path_(std::move(path)) {}

    // The key of a server: "host:port", "[v6-address]:port", the port as a plain number ("0990" is 990)
    // so that every way of naming the same server finds the same entry.
    static std::string Key(const std::string& host, const std::string& port);
    // The fingerprint trusted for `hostPort`, or "".
    std::string Fingerprint(const std::string& hostPort) const;
    // Stores (or replaces) the host's fingerprint; false with nothing changed when the file cannot be written.
    bool Remember(const std::string& hostPort, const std::string& fingerprint) const;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

} // namespace brisk
