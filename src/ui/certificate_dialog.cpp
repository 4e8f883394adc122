#include "ui/certificate_dialog.h"

#include "i18n/certificate_text.h"
#include "ui/qt_text.h"

#include <QMessageBox>
#include <QPushButton>

namespace brisk {

CertificateAnswer AskCertificate(QWidget* parent, const CertificateQuestion& question, const MainMessages& messages)
{
    QMessageBox box(QMessageBox::Warning, toQt(messages[xmsgCertificateTitle]),
                    toQt(DescribeCertificate(question, messages)), QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText); // the names come from the server
    QPushButton* once = box.addButton(toQt(messages[xmsgTrustOnce]), QMessageBox::AcceptRole);
    QPushButton* always = box.addButton(toQt(messages[xmsgTrustAlways]), QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == once)
        return CertificateAnswer::Once;
    if (box.clickedButton() == always)
        return CertificateAnswer::Always;
    return CertificateAnswer::Cancel;
}

} // namespace brisk
