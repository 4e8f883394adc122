#include "ui/certificate_dialog.h"

#include "ui/qt_text.h"

#include <QMessageBox>
#include <QPushButton>

namespace brisk {

CertificateAnswer AskCertificate(QWidget* parent, const CertificateQuestion& question)
{
    QMessageBox box(QMessageBox::Warning, QObject::tr("Server certificate"), toQt(DescribeCertificate(question)),
                    QMessageBox::NoButton, parent);
    QPushButton* once = box.addButton(QObject::tr("Trust once"), QMessageBox::AcceptRole);
    QPushButton* always = box.addButton(QObject::tr("Trust always"), QMessageBox::AcceptRole);
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
