#pragma once
#include <string>

namespace brisk {

// A server certificate the system's trust store does not vouch for, as the user is asked about it.
struct CertificateQuestion {
    std::string host;        // "host:port"
    std::string subject;
    std::string issuer;
    std::string validFrom;
    std::string validUntil;
    std::string fingerprint; // SHA-256, "AB:CD:..."
    std::string problem;     // why the certificate is not trusted by itself
    bool changed = false;    // the host was trusted before with another certificate
};

enum class CertificateAnswer { Cancel, Once, Always };

} // namespace brisk
