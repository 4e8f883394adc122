#pragma once
#include "platform/certificate_question.h"

struct ssl_st;

namespace brisk {

// The peer certificate of an established connection, with the system trust store's and the host name
// check's verdict: `trusted` with an empty problem, or the reason in `problem`.
struct TlsPeerCertificate {
    CertificateQuestion details;
    bool present = false;
    bool trusted = false;
};

TlsPeerCertificate ReadPeerCertificate(ssl_st* ssl);

} // namespace brisk
