#pragma once
#include "i18n/main_messages.h"
#include "platform/certificate_question.h"

#include <string>

namespace brisk {

// The question's text in the messages' language: what is wrong (or that the certificate changed),
// then subject, issuer, validity and fingerprint, one per line.
std::string DescribeCertificate(const CertificateQuestion& question, const MainMessages& messages);

} // namespace brisk
