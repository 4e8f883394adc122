#pragma once
#include "platform/certificate_question.h"

#include <cstdint>
#include <functional>
#include <string>

namespace brisk {

// How a session protects its connections.
enum TFtpSecurity : uint8_t {
    ftpSecurityPlain,             // no TLS
    ftpSecurityExplicitIfAvailable, // AUTH TLS; a refusal goes on without it
    ftpSecurityExplicitRequired,  // AUTH TLS; a refusal ends the session before the user name is sent
    ftpSecurityImplicit,          // TLS from the first byte (port 990 style)
};

// Asked about a certificate that neither the system nor the trust store vouches for.
using TFtpCertificateQuestion = std::function<CertificateAnswer(const CertificateQuestion& question)>;

} // namespace brisk
