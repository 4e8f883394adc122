#include "i18n/certificate_text.h"

namespace brisk {

std::string DescribeCertificate(const CertificateQuestion& q, const MainMessages& m)
{
    const std::string headline = q.changed ? FormatMessage(m[xmsgCertificateChanged], {q.host})
                                           : FormatMessage(m[xmsgCertificateUntrusted], {q.host, q.problem});
    return headline + "\n" + m[xmsgCertificateSubject] + " " + q.subject + "\n" + m[xmsgCertificateIssuer] + " " +
           q.issuer + "\n" + m[xmsgCertificateValidFrom] + " " + q.validFrom + "\n" + m[xmsgCertificateValidUntil] +
           " " + q.validUntil + "\n" + m[xmsgCertificateFingerprint] + " " + q.fingerprint;
}

} // namespace brisk
