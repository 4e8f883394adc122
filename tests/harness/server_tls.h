#pragma once
#include <filesystem>
#include <string>

namespace brisk::test {

// A throwaway self-signed certificate and its key for a TLS test server, and how the server offers TLS.
struct ServerTls {
    std::filesystem::path certFile;
    std::filesystem::path keyFile;
    std::string fingerprint; // SHA-256, "AB:CD:..."
    bool implicit = false;
};

// Makes a new key and certificate (CN=localhost) in `dir`, readable by the servers' own users.
ServerTls makeServerTls(const std::filesystem::path& dir, bool implicit = false);

// A certificate for CN=localhost signed by `ca` (one made above), with the subjectAltName extension
// `altNames` ("DNS:a.example,IP:127.0.0.1"), or none when empty.
ServerTls makeServerTlsSignedBy(const std::filesystem::path& dir, const ServerTls& ca, const std::string& altNames);

} // namespace brisk::test
