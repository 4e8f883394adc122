// The raw-command bar against a real vsftpd: shown from the Remote menu, a command typed and Enter
// sends it and refreshes the panel; the Commands dialog's pick lands in the box unsent; the remote
// panel's menu hides the bar again. What is logged, the history and the editor's rules are unit tests.
#include "session/custom_command_editor.h"
#include "ui/custom_commands_dialog.h"
#include "window_fixture.h"

#include <QListWidget>
#include <QTextDocument>
#include <QTest>

#include <gtest/gtest.h>

using namespace brisk;
using brisk::test::onNextModal;
using brisk::test::waitFor;

namespace {

using brisk::test::child;

class RawCommandBarTest : public test::WindowTest {
protected:
    QWidget* bar() { return child<QWidget>(&w(), "rawCommandBar"); }
    QComboBox* box() { return child<QComboBox>(&w(), "cbRawCommand"); }
    QPushButton* doIt() { return child<QPushButton>(&w(), "btDoIt"); }
};

TEST_F(RawCommandBarTest, ShownFromTheMenuItSendsACommandAndTakesOneFromTheLibrary)
{
    if (!startVsftpd())
        GTEST_SKIP() << skipReason_;
    server_->writeDataFile("hello.txt", "hi");
    QAction* toggle = w().action("actCustomCommand");
    EXPECT_TRUE(menu("&Remote")->actions().contains(toggle));
    EXPECT_FALSE(bar()->isVisible()) << "hidden at start";
    toggle->trigger();
    EXPECT_TRUE(bar()->isVisible());
    EXPECT_FALSE(doIt()->isEnabled()) << "no session yet";

    connect({"hello.txt"});
    ASSERT_TRUE(waitFor([&] { return doIt()->isEnabled(); }));
    const uint64_t shown = session().listingsShown();
    QTest::mouseClick(box()->lineEdit(), Qt::LeftButton);
    QTest::keyClicks(box()->lineEdit(), "FEAT");
    QTest::keyClick(box()->lineEdit(), Qt::Key_Return);
    ASSERT_TRUE(waitFor([&] { return session().listingsShown() > shown && log().contains("< 211 End"); }))
        << log().toStdString();
    ASSERT_TRUE(waitFor([&] { return doIt()->isEnabled(); })) << "idle again";
    doIt()->click();
    // The login sent the first FEAT.
    ASSERT_TRUE(waitFor([&] { return log().count("> FEAT") == 3 && session().canSendRawCommand(); }));
    EXPECT_EQ(test::texts(box()), QStringList{"FEAT"});
    EXPECT_LE(std::abs(w().lvLoc->width() - w().FTPView->width()), 4) << "the bar widened the remote side";
    w().logPane->moveCursor(QTextCursor::End);
    w().logPane->find("> FEAT", QTextDocument::FindBackward);   // the reply in view
    EXPECT_FALSE(test::saveScreenshot(w(), "raw_command_box").isEmpty());

    const qsizetype systSent = log().count("> SYST");   // once, at the login
    onNextModal<T_FCmd>([&](T_FCmd* dialog) {
        child<QPushButton>(dialog, "btAdd")->click();
        QTest::keyClicks(child<QLineEdit>(dialog, "edLabel"), "System type");
        QTest::keyClicks(child<QLineEdit>(dialog, "edCommand"), " SYST ");
        EXPECT_EQ(child<QListWidget>(dialog, "lbLabels")->item(0)->text(), "System type");
        EXPECT_FALSE(test::saveScreenshot(*dialog, "custom_commands_dialog").isEmpty());
        child<QPushButton>(dialog, "btSelect")->click();
    });
    child<QPushButton>(&w(), "btCommands")->click();
    EXPECT_EQ(w().program().settings.commands.labels, std::vector<std::string>{"System type"});
    EXPECT_EQ(test::texts(box()), (QStringList{"FEAT", "SYST"}));
    EXPECT_EQ(box()->currentText(), "SYST");
    QTest::qWait(200);
    EXPECT_EQ(log().count("> SYST"), systSent) << "picked, not sent";

    // The remote panel's own entry, checked like the Remote menu's, hides the bar again.
    QAction* inPanelMenu = nullptr;
    for (QAction* entry : menu("pmRemote")->actions())
        if (entry->text() == "Custom Command")
            inPanelMenu = entry;
    ASSERT_NE(inPanelMenu, nullptr);
    EXPECT_TRUE(inPanelMenu->isChecked());
    inPanelMenu->trigger();
    EXPECT_FALSE(bar()->isVisible());
    EXPECT_FALSE(toggle->isChecked());
}

// The dialog on its own: a click shows the picked command, a double-click selects, Escape closes.
TEST_F(RawCommandBarTest, DoubleClickSelectsAndEscapeCloses)
{
    CustomCommandEditor model({{"Features", "Help"}, {"FEAT", "HELP"}});
    QString shownCommand;
    T_FCmd dialog(model, &w());
    onNextModal<T_FCmd>([&](T_FCmd* d) {
        auto* list = child<QListWidget>(d, "lbLabels");
        const QRect row = list->visualItemRect(list->item(1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
        shownCommand = child<QLineEdit>(d, "edCommand")->text();
        EXPECT_FALSE(test::saveScreenshot(*d, "custom_commands_dialog_pick").isEmpty());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row.center());
    });
    EXPECT_EQ(dialog.exec(), T_FCmd::kSelect);
    EXPECT_EQ(shownCommand, "HELP");
    EXPECT_EQ(model.chosenCommand(), "HELP");

    onNextModal<T_FCmd>([](T_FCmd* d) { QTest::keyClick(d, Qt::Key_Escape); });
    EXPECT_EQ(dialog.exec(), T_FCmd::kClose);
}

} // namespace
