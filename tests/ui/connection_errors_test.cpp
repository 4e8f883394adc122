// What the window says when a connection fails: a refused connection in plain words in a box (the
// technical line stays in the log), and a refused password asked for again, masked, with the
// server's answer.
#include "loopback_port.h"
#include "screenshots.h"
#include "ui/input_form.h"
#include "window_fixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

#include <gtest/gtest.h>

using namespace brisk;
using brisk::test::onNextModal;
using brisk::test::waitFor;

namespace {

class ConnectionErrorsTest : public test::WindowTest {
protected:
    // Saves a site for 127.0.0.1:port with the given password and opens it.
    void open(uint16_t port, const QString& password)
    {
        onNextModal<TFFtpBase>([port, password](TFFtpBase* dialog) {
            test::fillVsftpdSite(dialog, port);
            dialog->findChild<QLineEdit*>("edPassword")->setText(password);
            dialog->findChild<QPushButton*>("btSave")->click();
        });
        w().action("actNewSite")->trigger();
        select(w().FTPView, {"Local vsftpd"});
        emit w().FTPView->activated(w().FTPView->currentIndex());
    }
};

TEST_F(ConnectionErrorsTest, ARefusedConnectionIsToldInPlainWords)
{
    const uint16_t port = test::pickFreeLoopbackPort();
    QString text;
    onNextModal<QMessageBox>([&text](QMessageBox* box) {
        text = box->text();
        test::saveScreenshot(*box, "connection_error_box");
        box->accept();
    }, 60000);
    open(port, "any");
    ASSERT_TRUE(waitFor([&] { return !text.isEmpty(); }, 60000)) << log().toStdString();
    EXPECT_EQ(text, QString("The server 127.0.0.1 refused the connection on port %1.").arg(port));
    EXPECT_TRUE(log().contains("10061")) << log().toStdString();
    EXPECT_EQ(captions(w().FTPView), QStringList{"Local vsftpd"});
}

TEST_F(ConnectionErrorsTest, ARefusedPasswordIsAskedAgainMasked)
{
    if (!startVsftpd())
        GTEST_SKIP() << skipReason_;
    server_->writeDataFile("in.txt", "in");
    QString label;
    bool masked = false;
    onNextModal<TInputForm>([&](TInputForm* form) {
        label = form->findChild<QLabel*>("lbPrompt")->text();
        auto* edit = form->findChild<QLineEdit*>("edText");
        masked = edit->echoMode() == QLineEdit::Password;
        edit->setText(test::kFtpPassword);
        form->accept();
    }, 30000);
    open(server_->port(), "wrong");
    ASSERT_TRUE(waitFor([&] { return captions(w().FTPView) == QStringList{"in.txt"}; }, 30000)) << log().toStdString();
    EXPECT_TRUE(label.startsWith("530")) << label.toStdString();
    EXPECT_TRUE(masked);
}

} // namespace
