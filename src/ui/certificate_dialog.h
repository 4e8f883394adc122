#pragma once
#include "i18n/main_messages.h"
#include "platform/certificate_question.h"

class QWidget;

namespace brisk {

// The certificate question: its description with a warning icon and the buttons "Trust once",
// "Trust always" and "Cancel" (also Escape), in the messages' language.
CertificateAnswer AskCertificate(QWidget* parent, const CertificateQuestion& question, const MainMessages& messages);

} // namespace brisk
