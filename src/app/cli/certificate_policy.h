#pragma once
#include "platform/certificate_question.h"

#include <ostream>
#include <string>

namespace brisk::cli {

// Nobody answers questions in a command-line run: a certificate nothing vouches for is accepted only
// with --insecure or when --trust names its fingerprint; otherwise it is described on `err` and refused.
struct CertificatePolicy {
    std::string trust;
    bool insecure = false;

    CertificateAnswer answer(const CertificateQuestion& question, std::ostream& err) const;
};

} // namespace brisk::cli
