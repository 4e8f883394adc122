#pragma once
#include "platform/certificate_question.h"

class QWidget;

namespace brisk {

// The certificate question: its description with a warning icon and the buttons "Trust once",
// "Trust always" and "Cancel" (also Escape).
CertificateAnswer AskCertificate(QWidget* parent, const CertificateQuestion& question);

} // namespace brisk
