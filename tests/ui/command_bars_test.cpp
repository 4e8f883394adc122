// The quick-connect and raw-command bars against a real vsftpd. Parsing, checks and history are the
// QuickConnect model's (tests/unit/quick_connect_test.cpp); what is logged, the raw-command history
// and the command editor's rules are tests/unit/raw_command_box_test.cpp.
#include "session/custom_command_editor.h"
#include "ui/custom_commands_dialog.h"
#include "ui/quick_connect_bar.h"
#include "window_fixture.h"

#include <QListWidget>
#include <QTextDocument>

namespace brisk::test {
namespace {

class CommandBarsTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        NEED_VSFTPD();
        server_->writeDataFile("hello.txt", "hi");
    }
    template <class T>
    T* part(const char* name) { return child<T>(&w(), name); }
    QWidget* quickBar() { return part<QuickConnectBar>("quickConnectBar"); }
    QLineEdit* address() { return part<QComboBox>("qcAddress")->lineEdit(); }
    QComboBox* rawBox() { return part<QComboBox>("cbRawCommand"); }
    // Clicks the box and types, as a user would.
    static void clickAndType(QLineEdit* box, const QString& text)
    {
        QTest::mouseClick(box, Qt::LeftButton);
        QTest::keyClicks(box, text);
    }
};

// The bar's boxes take Tab among themselves and the Server menu's entry hides and shows it; a refused
// field is named in a box; an address and Enter connect; "Save as site" stores the site.
TEST_F(CommandBarsTest, QuickConnectTakesTabRefusesABadPortConnectsAndSavesTheSite)
{
    focus(address());
    QTest::keyClick(address(), Qt::Key_Tab);
    EXPECT_TRUE(part<QLineEdit>("qcUser")->hasFocus());
    QTest::keyClick(part<QLineEdit>("qcUser"), Qt::Key_Backtab);
    EXPECT_TRUE(address()->hasFocus());
    QAction* toggle = w().action("actQuickConnectBar");
    EXPECT_TRUE(menu("&Server")->actions().contains(toggle));
    EXPECT_TRUE(quickBar()->isVisible());
    toggle->trigger();
    EXPECT_FALSE(quickBar()->isVisible() || toggle->isChecked());
    toggle->trigger();
    ASSERT_TRUE(quickBar()->isVisible());

    writeFile(home() + "local/notes.txt", "notes");   // the screenshot shows this, not the user's home
    ASSERT_TRUE(w().program().local.changeDirectory(home() + "local"));
    QLineEdit* password = part<QLineEdit>("qcPassword");
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    EXPECT_FALSE(part<QPushButton>("qcSave")->isEnabled()) << "nothing to save yet";

    clickAndType(address(), "127.0.0.1");
    clickAndType(part<QLineEdit>("qcPort"), "99999");
    QString refused;
    onNextModal<QMessageBox>([&refused](QMessageBox* box) {
        refused = box->text();
        EXPECT_FALSE(saveScreenshot(*box, "quick_connect_refused").isEmpty());
        box->button(QMessageBox::Ok)->click();
    });
    part<QPushButton>("qcConnect")->click();
    EXPECT_EQ(refused, "Port: enter a number from 1 to 65535.");
    EXPECT_TRUE(session().SiteListMode());
    EXPECT_FALSE(log().contains("Connecting")) << log().toStdString();

    part<QLineEdit>("qcPort")->clear();
    address()->clear();
    const QString url = QString("ftp://%1@127.0.0.1:%2/").arg(kFtpUser).arg(server_->port());
    clickAndType(address(), url);
    clickAndType(password, kFtpPassword);
    QTest::keyClick(address(), Qt::Key_Return);
    waitForRows({"hello.txt"});
    EXPECT_FALSE(part<QPushButton>("qcConnect")->isEnabled()) << "a second session could be started";
    EXPECT_TRUE(part<QPushButton>("qcSave")->isEnabled());
    EXPECT_EQ(part<QComboBox>("qcAddress")->itemText(0), url) << "the address is the first recent one";
    EXPECT_LE(std::abs(w().lvLoc->width() - w().FTPView->width()), 4) << "the bar widened the remote side";
    EXPECT_FALSE(saveScreenshot(w(), "main_window_quick_connect").isEmpty());

    QString offered;
    onNextModal<TInputForm>([&offered](TInputForm* form) {
        auto* name = form->findChild<QLineEdit*>("edText");
        offered = name->text();
        name->setText("Quick vsftpd");
        form->accept();
    });
    part<QPushButton>("qcSave")->click();
    EXPECT_EQ(offered, "127.0.0.1");
    w().action("actDisconnect")->trigger();
    ASSERT_TRUE(waitFor([&] { return session().SiteListMode() && part<QPushButton>("qcConnect")->isEnabled(); }));
    // The stored site opens like any other, its password saved with it.
    activate(w().FTPView, "Quick vsftpd");
    waitForRows({"hello.txt"});
}

// Shown from the Remote menu, a command typed and Enter sends it and refreshes the panel; the Commands
// dialog's pick lands in the box unsent; the remote panel's menu hides the bar again.
TEST_F(CommandBarsTest, TheRawCommandBarSendsACommandAndTakesOneFromTheLibrary)
{
    QAction* toggle = w().action("actCustomCommand");
    EXPECT_TRUE(menu("&Remote")->actions().contains(toggle));
    EXPECT_FALSE(part<QWidget>("rawCommandBar")->isVisible()) << "hidden at start";
    toggle->trigger();
    EXPECT_TRUE(part<QWidget>("rawCommandBar")->isVisible());
    EXPECT_FALSE(part<QPushButton>("btDoIt")->isEnabled()) << "no session yet";

    connect({"hello.txt"});
    ASSERT_TRUE(waitFor([&] { return part<QPushButton>("btDoIt")->isEnabled(); }));
    const uint64_t shown = session().listingsShown();
    clickAndType(rawBox()->lineEdit(), "FEAT");
    QTest::keyClick(rawBox()->lineEdit(), Qt::Key_Return);
    ASSERT_TRUE(waitFor([&] { return session().listingsShown() > shown && log().contains("< 211 End"); }))
        << log().toStdString();
    ASSERT_TRUE(waitFor([&] { return part<QPushButton>("btDoIt")->isEnabled(); })) << "idle again";
    part<QPushButton>("btDoIt")->click();
    // The login sent the first FEAT.
    ASSERT_TRUE(waitFor([&] { return log().count("> FEAT") == 3 && session().canSendRawCommand(); }));
    EXPECT_EQ(texts(rawBox()), QStringList{"FEAT"});
    EXPECT_LE(std::abs(w().lvLoc->width() - w().FTPView->width()), 4) << "the bar widened the remote side";
    w().logPane->moveCursor(QTextCursor::End);
    w().logPane->find("> FEAT", QTextDocument::FindBackward);   // the reply in view
    EXPECT_FALSE(saveScreenshot(w(), "raw_command_box").isEmpty());

    const qsizetype systSent = log().count("> SYST");   // once, at the login
    onNextModal<T_FCmd>([&](T_FCmd* dialog) {
        child<QPushButton>(dialog, "btAdd")->click();
        QTest::keyClicks(child<QLineEdit>(dialog, "edLabel"), "System type");
        QTest::keyClicks(child<QLineEdit>(dialog, "edCommand"), " SYST ");
        EXPECT_EQ(child<QListWidget>(dialog, "lbLabels")->item(0)->text(), "System type");
        EXPECT_FALSE(saveScreenshot(*dialog, "custom_commands_dialog").isEmpty());
        child<QPushButton>(dialog, "btSelect")->click();
    });
    part<QPushButton>("btCommands")->click();
    EXPECT_EQ(w().program().settings.commands.labels, std::vector<std::string>{"System type"});
    EXPECT_EQ(texts(rawBox()), (QStringList{"FEAT", "SYST"}));
    EXPECT_EQ(rawBox()->currentText(), "SYST");
    QTest::qWait(200);
    EXPECT_EQ(log().count("> SYST"), systSent) << "picked, not sent";

    // The remote panel's own entry, checked like the Remote menu's, hides the bar again.
    QAction* inPanelMenu = entry(menu("pmRemote"), "Custom Command");
    ASSERT_NE(inPanelMenu, nullptr);
    EXPECT_TRUE(inPanelMenu->isChecked());
    inPanelMenu->trigger();
    EXPECT_FALSE(part<QWidget>("rawCommandBar")->isVisible() || toggle->isChecked());
}

// The Commands dialog on its own: a click shows the picked command, a double-click selects, Escape closes.
TEST(CustomCommandsDialog, DoubleClickSelectsAndEscapeCloses)
{
    CustomCommandEditor model({{"Features", "Help"}, {"FEAT", "HELP"}});
    QString shownCommand;
    T_FCmd dialog(model);
    onNextModal<T_FCmd>([&](T_FCmd* d) {
        auto* list = child<QListWidget>(d, "lbLabels");
        const QRect row = list->visualItemRect(list->item(1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
        shownCommand = child<QLineEdit>(d, "edCommand")->text();
        EXPECT_FALSE(saveScreenshot(*d, "custom_commands_dialog_pick").isEmpty());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row.center());
    });
    EXPECT_EQ(dialog.exec(), T_FCmd::kSelect);
    EXPECT_EQ(shownCommand, "HELP");
    EXPECT_EQ(model.chosenCommand(), "HELP");

    onNextModal<T_FCmd>([](T_FCmd* d) { QTest::keyClick(d, Qt::Key_Escape); });
    EXPECT_EQ(dialog.exec(), T_FCmd::kClose);
}

} // namespace
} // namespace brisk::test
