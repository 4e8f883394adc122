#pragma once
#include "ftp_users.h"
#include "ui/site_properties_dialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

#include <cstdint>

namespace brisk::test {

// Fills the site dialog for the test's vsftpd on 127.0.0.1:port, password saved, passive mode.
inline void fillVsftpdSite(TFFtpBase* dialog, uint16_t port)
{
    auto set = [dialog](const char* name, const QString& text) {
        auto* edit = dialog->findChild<QLineEdit*>(name);
        edit->clear();
        QTest::keyClicks(edit, text);
    };
    set("edName", "Local vsftpd");
    set("edServer", "127.0.0.1");
    set("edPort", QString::number(port));
    set("edUser", QString(kFtpUser));
    set("edPassword", QString(kFtpPassword));
    dialog->findChild<QCheckBox*>("cbSavePsw")->setChecked(true);
    dialog->findChild<QCheckBox*>("cbPasv")->setChecked(true);
}

} // namespace brisk::test
