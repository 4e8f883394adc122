#include "platform/certificate_question.h"

namespace brisk {

std::string DescribeCertificate(const CertificateQuestion& q)
{
    const std::string headline = q.changed
        ? "WARNING: the certificate of " + q.host + " has changed since you trusted it. Someone may be "
          "intercepting the connection."
        : "The certificate of " + q.host + " is not trusted: " + q.problem + ".";
    return headline + "\nSubject: " + q.subject + "\nIssuer: " + q.issuer + "\nValid from: " + q.validFrom +
           "\nValid until: " + q.validUntil + "\nSHA-256 fingerprint: " + q.fingerprint;
}

} // namespace brisk
