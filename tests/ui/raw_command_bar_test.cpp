// The raw-command bar against a real vsftpd: shown from the Remote menu, a command typed and Do It
// puts its whole reply, exactly as vsftpd sends it, into the log; the Commands dialog adds an entry
// whose command lands in the box unsent; the remote panel's menu hides the bar again.
#include "session/custom_command_editor.h"
#include "ui/custom_commands_dialog.h"
#include "ftp_users.h"
#include "raw_ftp_reply.h"
#include "screenshots.h"
#include "window_fixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTest>

#include <gtest/gtest.h>

using namespace brisk;
using brisk::test::onNextModal;
using brisk::test::waitFor;

namespace {

template <class T>
T* part(QWidget* parent, const char* name)
{
    T* found = parent->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
}

QMenu* menuHolding(const QWidget& window, const QString& name)
{
    for (QMenu* menu : window.findChildren<QMenu*>())
        if (menu->objectName() == name || menu->title() == name)
            return menu;
    return nullptr;
}

class RawCommandBarTest : public test::WindowTest {
protected:
    QWidget* bar() { return part<QWidget>(&w(), "rawCommandBar"); }
    QComboBox* box() { return part<QComboBox>(&w(), "cbRawCommand"); }
    QStringList items()
    {
        QStringList out;
        for (int i = 0; i < box()->count(); ++i)
            out.push_back(box()->itemText(i));
        return out;
    }
    // Clicks the box's edit and types, as a user would.
    void type(const QString& text)
    {
        box()->lineEdit()->clear();
        QTest::mouseClick(box()->lineEdit(), Qt::LeftButton);
        QTest::keyClicks(box()->lineEdit(), text);
    }
};

TEST_F(RawCommandBarTest, ShownFromTheMenuItSendsACommandAndTakesOneFromTheLibrary)
{
    if (!startVsftpd())
        GTEST_SKIP() << skipReason_;
    server_->writeDataFile("hello.txt", "hi");
    QAction* toggle = w().action("actCustomCommand");
    ASSERT_NE(toggle, nullptr);
    EXPECT_TRUE(menuHolding(w(), "&Remote")->actions().contains(toggle));
    EXPECT_TRUE(menuHolding(w(), "pmRemote")->actions().contains(toggle));
    EXPECT_FALSE(bar()->isVisible()) << "hidden at start";
    EXPECT_FALSE(toggle->isChecked());
    toggle->trigger();
    EXPECT_TRUE(bar()->isVisible());
    EXPECT_TRUE(toggle->isChecked());
    EXPECT_FALSE(part<QPushButton>(&w(), "btDoIt")->isEnabled()) << "no session yet";

    connect({"hello.txt"});
    ASSERT_TRUE(waitFor([&] { return part<QPushButton>(&w(), "btDoIt")->isEnabled(); }));
    const uint64_t shown = session().listingsShown();
    type("FEAT");
    QTest::keyClick(box()->lineEdit(), Qt::Key_Return);
    ASSERT_TRUE(waitFor([&] { return session().listingsShown() > shown && log().contains("< 211 End"); }))
        << log().toStdString();
    QString feat = "> FEAT\n";
    for (const std::string& line : test::rawFtpReply(server_->port(), test::kFtpUser, test::kFtpPassword, "FEAT"))
        feat += "< " + QString::fromStdString(line) + "\n";
    EXPECT_TRUE(log().contains(feat + "> CWD /\n")) << "every line, then the panel is refreshed:\n"
                                                    << log().toStdString();
    EXPECT_EQ(items(), QStringList{"FEAT"});
    QPushButton* doIt = part<QPushButton>(&w(), "btDoIt");
    ASSERT_TRUE(waitFor([&] { return doIt->isEnabled(); })) << "idle again";
    doIt->click();
    // The login sent the first FEAT.
    ASSERT_TRUE(waitFor([&] { return log().count("> FEAT") == 3 && session().canSendRawCommand(); }));
    EXPECT_EQ(items(), QStringList{"FEAT"}) << "sent twice, kept once";
    EXPECT_LE(std::abs(w().lvLoc->width() - w().FTPView->width()), 4) << "the bar widened the remote side";
    w().logPane->moveCursor(QTextCursor::End);
    w().logPane->find("> FEAT", QTextDocument::FindBackward);   // the reply in view
    EXPECT_FALSE(test::saveScreenshot(w(), "raw_command_box").isEmpty());

    const qsizetype systSent = log().count("> SYST");   // once, at the login
    bool readOnlyAtFirst = false;
    onNextModal<T_FCmd>([&](T_FCmd* dialog) {
        readOnlyAtFirst = part<QLineEdit>(dialog, "edLabel")->isReadOnly();
        part<QPushButton>(dialog, "btAdd")->click();
        QTest::keyClicks(part<QLineEdit>(dialog, "edLabel"), "System type");
        QTest::keyClicks(part<QLineEdit>(dialog, "edCommand"), " SYST ");
        EXPECT_EQ(part<QListWidget>(dialog, "lbLabels")->item(0)->text(), "System type");
        EXPECT_FALSE(test::saveScreenshot(*dialog, "custom_commands_dialog").isEmpty());
        part<QPushButton>(dialog, "btSelect")->click();
    });
    part<QPushButton>(&w(), "btCommands")->click();
    EXPECT_TRUE(readOnlyAtFirst) << "nothing picked: nothing to edit";
    EXPECT_EQ(w().program().settings.commands.labels, std::vector<std::string>{"System type"});
    EXPECT_EQ(items(), (QStringList{"FEAT", "SYST"}));
    EXPECT_EQ(box()->currentText(), "SYST");
    QTest::qWait(200);
    EXPECT_EQ(log().count("> SYST"), systSent) << "picked, not sent";

    // The remote panel's own entry, checked like the Remote menu's, hides the bar again.
    QAction* inPanelMenu = nullptr;
    for (QAction* entry : menuHolding(w(), "pmRemote")->actions())
        if (entry->text() == "Custom Command")
            inPanelMenu = entry;
    ASSERT_NE(inPanelMenu, nullptr);
    EXPECT_TRUE(inPanelMenu->isChecked());
    inPanelMenu->trigger();
    EXPECT_FALSE(bar()->isVisible());
    EXPECT_FALSE(toggle->isChecked());
}

// The dialog on its own: a double-click on a label selects, Escape closes, the texts follow the pick.
TEST_F(RawCommandBarTest, DoubleClickSelectsAndEscapeCloses)
{
    CustomCommandEditor model({{"Features", "Help"}, {"FEAT", "HELP"}});
    QString shownCommand;
    int result = 0;
    {
        T_FCmd dialog(model, &w());
        onNextModal<T_FCmd>([&](T_FCmd* d) {
            auto* list = part<QListWidget>(d, "lbLabels");
            const QRect row = list->visualItemRect(list->item(1));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
            shownCommand = part<QLineEdit>(d, "edCommand")->text();
            EXPECT_FALSE(part<QLineEdit>(d, "edCommand")->isReadOnly());
            EXPECT_FALSE(test::saveScreenshot(*d, "custom_commands_dialog_pick").isEmpty());
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row.center());
        });
        result = dialog.exec();
    }
    EXPECT_EQ(result, T_FCmd::kSelect);
    EXPECT_EQ(shownCommand, "HELP");
    EXPECT_EQ(model.chosenCommand(), "HELP");

    T_FCmd dialog(model, &w());
    onNextModal<T_FCmd>([](T_FCmd* d) { QTest::keyClick(d, Qt::Key_Escape); });
    EXPECT_EQ(dialog.exec(), T_FCmd::kClose);
}

} // namespace
