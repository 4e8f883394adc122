// The quick-connect bar against a real vsftpd: an address typed and Enter open the site, "Save as site"
// stores it in the site list, a refused field is shown in a box. Parsing, checks and history are the
// QuickConnect model's (tests/unit/quick_connect_test.cpp).
#include "ui/quick_connect_bar.h"
#include "window_fixture.h"

#include <QTest>

#include <gtest/gtest.h>

using namespace brisk;
using brisk::test::onNextModal;
using brisk::test::waitFor;

namespace {

class QuickConnectBarTest : public test::WindowTest {
protected:
    void SetUp() override
    {
        test::WindowTest::SetUp();
        if (!startVsftpd())
            GTEST_SKIP() << skipReason_;
        bar_ = window_->findChild<QuickConnectBar*>("quickConnectBar");
        ASSERT_NE(bar_, nullptr);
    }
    template <class T>
    T* part(const char* name) const { return test::child<T>(bar_, name); }
    QLineEdit* address() const { return part<QComboBox>("qcAddress")->lineEdit(); }
    QPushButton* connectButton() const { return part<QPushButton>("qcConnect"); }
    QPushButton* saveButton() const { return part<QPushButton>("qcSave"); }
    // Clicks the box and types, as a user would.
    static void type(QLineEdit* box, const QString& text)
    {
        QTest::mouseClick(box, Qt::LeftButton);
        QTest::keyClicks(box, text);
    }

    QuickConnectBar* bar_ = nullptr;
};

TEST_F(QuickConnectBarTest, AnAddressAndEnterConnectAndTheSiteIsSaved)
{
    server_->writeDataFile("hello.txt", "hi");
    writeFile(home() + "local/notes.txt", "notes");   // the screenshot shows this, not the user's home
    ASSERT_TRUE(w().program().local.changeDirectory(home() + "local"));
    EXPECT_EQ(part<QLineEdit>("qcPassword")->echoMode(), QLineEdit::Password);
    EXPECT_FALSE(saveButton()->isEnabled()) << "nothing to save yet";

    const QString url = QString("ftp://%1@127.0.0.1:%2/").arg(test::kFtpUser).arg(server_->port());
    type(address(), url);
    type(part<QLineEdit>("qcPassword"), test::kFtpPassword);
    QTest::keyClick(address(), Qt::Key_Return);
    ASSERT_TRUE(waitFor([&] { return captions(w().FTPView) == QStringList{"hello.txt"}; })) << log().toStdString();
    EXPECT_FALSE(connectButton()->isEnabled()) << "a second session could be started";
    EXPECT_TRUE(saveButton()->isEnabled());
    EXPECT_EQ(part<QComboBox>("qcAddress")->itemText(0), url) << "the address is the first recent one";
    EXPECT_LE(std::abs(w().lvLoc->width() - w().FTPView->width()), 4) << "the bar widened the remote side";
    EXPECT_FALSE(test::saveScreenshot(w(), "main_window_quick_connect").isEmpty());

    QString offered;
    onNextModal<TInputForm>([&offered](TInputForm* form) {
        auto* name = form->findChild<QLineEdit*>("edText");
        offered = name->text();
        name->setText("Quick vsftpd");
        form->accept();
    });
    saveButton()->click();
    EXPECT_EQ(offered, "127.0.0.1");
    w().action("actDisconnect")->trigger();
    ASSERT_TRUE(waitFor([&] { return session().SiteListMode() && connectButton()->isEnabled(); }));
    // The stored site opens like any other, its password saved with it.
    activate(w().FTPView, "Quick vsftpd");
    EXPECT_TRUE(waitFor([&] { return captions(w().FTPView) == QStringList{"hello.txt"}; })) << log().toStdString();
}

TEST_F(QuickConnectBarTest, ABadPortIsRefusedNamingTheField)
{
    type(address(), "127.0.0.1");
    type(part<QLineEdit>("qcPort"), "99999");
    QString shown;
    onNextModal<QMessageBox>([&shown](QMessageBox* box) {
        shown = box->text();
        EXPECT_FALSE(test::saveScreenshot(*box, "quick_connect_refused").isEmpty());
        box->button(QMessageBox::Ok)->click();
    });
    connectButton()->click();
    EXPECT_EQ(shown, "Port: enter a number from 1 to 65535.");
    EXPECT_TRUE(session().SiteListMode());
    EXPECT_FALSE(log().contains("Connecting")) << log().toStdString();
}

// The bar's boxes take Tab among themselves; the Server menu's entry hides and shows the bar.
TEST_F(QuickConnectBarTest, TabMovesAlongTheBarAndTheMenuEntryTogglesIt)
{
    focus(address());
    QTest::keyClick(address(), Qt::Key_Tab);
    EXPECT_TRUE(part<QLineEdit>("qcUser")->hasFocus());
    QTest::keyClick(part<QLineEdit>("qcUser"), Qt::Key_Backtab);
    EXPECT_TRUE(address()->hasFocus());

    QAction* toggle = w().action("actQuickConnectBar");
    EXPECT_TRUE(menu("&Server")->actions().contains(toggle));
    EXPECT_TRUE(bar_->isVisible());
    toggle->trigger();
    EXPECT_FALSE(bar_->isVisible());
    EXPECT_FALSE(toggle->isChecked());
    toggle->trigger();
    EXPECT_TRUE(bar_->isVisible());
}

} // namespace
