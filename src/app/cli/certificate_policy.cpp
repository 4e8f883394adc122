#include "certificate_policy.h"

#include "i18n/certificate_text.h"
#include "platform/ascii.h"

namespace brisk::cli {

namespace {

// "AB:CD:..." and "abcd..." name the same fingerprint.
std::string bareHex(const std::string& fingerprint)
{
    std::string hex;
    for (char c : fingerprint)
        if (c != ':')
            hex += lowerAscii(c);
    return hex;
}

} // namespace

CertificateAnswer CertificatePolicy::answer(const CertificateQuestion& question, std::ostream& err) const
{
    if (insecure || (!trust.empty() && bareHex(trust) == bareHex(question.fingerprint)))
        return CertificateAnswer::Once;
    err << "brisklane-cli: " << DescribeCertificate(question, MainMessages{}) << "\nAccept it with --trust "
        << question.fingerprint << " (or any certificate with --insecure).\n";
    return CertificateAnswer::Cancel;
}

} // namespace brisk::cli
