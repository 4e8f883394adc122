#include "server_tls.h"
#include "temp_dir.h"
#include "window_fixture.h"

#include <QFontDialog>
#include <QHeaderView>
#include <QSignalSpy>
#include <QStatusBar>
#include <QToolBar>

#include <fstream>

namespace brisk::test {
namespace {

namespace fs = std::filesystem;

QString header(const FileListView* view, int column)
{
    return view->model()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
}

// The current panel's header is bold on the highlight colour.
bool marked(const FileListView* view)
{
    return view->header()->font().bold() &&
           view->header()->palette().color(QPalette::Button) == view->window()->palette().color(QPalette::Highlight);
}

class MainWindowTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        std::ofstream(userHome_ + "/mine.txt") << "mine";
        open();
    }
};

TEST_F(MainWindowTest, CreateASiteConnectBrowseEditAndDisconnect)
{
    NEED_VSFTPD();
    server_->writeDataFile("dir1/inner.txt", "inner");
    server_->writeDataFile("top.txt", "top");
    T_Main& w = *window_;
    // The remote panel's first column, its path box, the title and whether Connect is offered.
    const auto state = [&w] {
        return QStringList{header(w.FTPView, 0), texts(w.FTPPath).join(","), w.windowTitle(),
                           w.action("actConnect")->isEnabled() ? "can connect" : "cannot connect"}.join("|");
    };
    createSite();
    ASSERT_EQ(captions(w.FTPView), QStringList{"Local vsftpd"});
    EXPECT_TRUE(textRenders(w.FTPView->font()));
    EXPECT_FALSE(saveScreenshot(w, "main_site_list").isEmpty());

    activate(w.FTPView, "Local vsftpd");
    waitForRows({"dir1", "top.txt"});
    EXPECT_EQ(state(), "Filename|SERVER LIST ...,127.0.0.1|Brisklane - Local vsftpd - /|cannot connect");
    EXPECT_TRUE(w.action("actDisconnect")->isEnabled());
    EXPECT_EQ(header(w.FTPView, 4), "Attribute");
    EXPECT_EQ(w.remoteInfo->parentWidget(), w.statusBar());
    EXPECT_FALSE(saveScreenshot(w, "main_connected").isEmpty());

    w.lvLoc->setCurrentIndex(w.lvLoc->model()->index(int(captions(w.lvLoc).indexOf("mine.txt")), 0));
    focus(w.FTPView);
    w.FTPView->setCurrentIndex(w.FTPView->model()->index(1, 0));
    EXPECT_FALSE(w.localInfo->text().isEmpty());
    EXPECT_FALSE(w.remoteInfo->text().isEmpty());
    EXPECT_FALSE(saveScreenshot(w, "main_connected_status").isEmpty());

    // An edited name is renamed on the server (setData is what the editor does when the edit ends).
    const QModelIndex item = w.FTPView->model()->index(1, 0);
    EXPECT_TRUE(item.flags() & Qt::ItemIsEditable);
    EXPECT_TRUE(w.FTPView->model()->setData(item, "new.txt"));
    waitForRows({"dir1", "new.txt"});
    EXPECT_TRUE(fs::exists(server_->dataDir() / "new.txt"));

    server_->writeDataFile("b.txt", "b");
    w.action("actRemoteRefresh")->trigger();
    waitForRows({"dir1", "b.txt", "new.txt"});

    focus(w.FTPView);
    select(w.FTPView, {"b.txt"});
    answerBox(QMessageBox::Yes);
    QTest::keyClick(w.FTPView, Qt::Key_Delete);
    waitForRows({"dir1", "new.txt"});
    EXPECT_FALSE(fs::exists(server_->dataDir() / "b.txt"));

    activate(w.FTPView, "dir1");
    waitForRows({"inner.txt"});
    EXPECT_EQ(state(), "Filename|SERVER LIST ...,127.0.0.1,dir1|Brisklane - Local vsftpd - /dir1|cannot connect");
    w.FTPView->setFocus();
    QTest::keyClick(w.FTPView, Qt::Key_Backspace);
    waitForRows({"dir1", "new.txt"});
    EXPECT_EQ(texts(w.FTPPath).size(), 2);

    w.FTPPath->setCurrentIndex(0);
    emit w.FTPPath->activated(0);
    waitForRows({"Local vsftpd"});
    EXPECT_EQ(state(), "FTP Servers|SERVER LIST ...|Brisklane|can connect");
    EXPECT_TRUE(log().contains("Connection closed"));
}

// A site that requires TLS asks about the server's self-signed certificate in the window; "Trust
// always" opens the session, and the next one is not asked again.
TEST_F(MainWindowTest, ATlsSiteAsksAboutTheCertificateOnce)
{
    if (auto why = VsftpdServer::unavailableReason())
        GTEST_SKIP() << *why;
    TempDir dir;
    const ServerTls tls = makeServerTls(dir.path() / "tls");
    server_ = std::make_unique<VsftpdServer>(tls);
    server_->writeDataFile("secret.txt", "s");
    createSite(server_->port(), "127.0.0.1", ftpSecurityExplicitRequired);
    int asked = 0;
    onNextModal<QMessageBox>([&](QMessageBox* box) {
        ++asked;
        EXPECT_TRUE(box->text().contains(QString::fromStdString(tls.fingerprint))) << box->text().toStdString();
        saveScreenshot(*box, "main_certificate_question");
        for (QAbstractButton* button : box->buttons())
            if (button->text() == "Trust always")
                button->click();
    });
    for (int session = 0; session < 2; ++session) {
        activate(w().FTPView, "Local vsftpd");
        waitForRows({"secret.txt"});
        w().action("actDisconnect")->trigger();
        waitForRows({"Local vsftpd"});
    }
    EXPECT_EQ(asked, 1);
}

// The view shows the core's rows and sort order, and the selection goes both ways.
TEST_F(MainWindowTest, LocalListReadsTheCoreRowsAndTheirSelection)
{
    T_Main& w = *window_;
    EXPECT_EQ(texts(w.localPath).back(), "user") << "the local panel starts in the home directory";
    EXPECT_TRUE(captions(w.lvLoc).contains("mine.txt"));
    const fs::path dir = home() + "files";
    fs::create_directories(dir / "sub");
    for (const char* name : {"b.txt", "a.txt", "c.txt"})
        std::ofstream(dir / name) << name;
    LocalPanel& local = w.program().local;
    ASSERT_TRUE(local.changeDirectory(dir.string()));
    QSignalSpy resets(w.lvLoc->model(), &QAbstractItemModel::modelReset);
    QSignalSpy inserts(w.lvLoc->model(), &QAbstractItemModel::rowsInserted);
    w.refreshViews();
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(inserts.count(), 0) << "rows come in one reset, never one by one";
    EXPECT_EQ(captions(w.lvLoc), QStringList({"sub", "a.txt", "b.txt", "c.txt"}));
    const QModelIndex size = w.lvLoc->model()->index(1, 1);
    EXPECT_EQ(size.data().toString(), "5");
    EXPECT_TRUE(size.data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight);
    EXPECT_FALSE(w.lvLoc->model()->index(1, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
    emit w.lvLoc->header()->sectionClicked(0);
    EXPECT_EQ(captions(w.lvLoc), QStringList({"sub", "c.txt", "b.txt", "a.txt"}));
    EXPECT_TRUE(w.lvLoc->header()->isSortIndicatorShown());
    EXPECT_EQ(w.lvLoc->header()->sortIndicatorSection(), 0);
    EXPECT_EQ(w.lvLoc->header()->sortIndicatorOrder(), Qt::DescendingOrder);

    select(w.lvLoc, {"c.txt", "a.txt"});
    EXPECT_EQ(local.panel().selectedIndices(), (std::vector<size_t>{1, 3}));
    EXPECT_TRUE(w.localInfo->text().startsWith("10 ")) << w.localInfo->text().toStdString();
    local.panel().invertSelection();
    w.refreshViews();
    EXPECT_EQ(w.lvLoc->selectedRows(), (std::vector<int>{0, 2}));
    EXPECT_FALSE(saveScreenshot(w, "main_local_selection").isEmpty());
}

// Tab moves between the panels; the generic commands (toolbar, Delete, F2) act on the current one,
// which the log pane, being no panel, leaves as it is.
TEST_F(MainWindowTest, GenericCommandsActOnThePanelThatHasTheFocus)
{
    T_Main& w = *window_;
    const fs::path dir = userHome_;
    for (const char* name : {"gone.txt", "old.txt"})
        std::ofstream(dir / name) << name;
    w.program().local.RefreshLocalPanel();
    w.refreshViews();
    EXPECT_TRUE(marked(w.FTPView)) << "the remote side is current at start";
    EXPECT_FALSE(marked(w.lvLoc));
    EXPECT_FALSE(w.action("actView")->isEnabled()) << "viewing as text is for local files only";
    QAction* mkdir = w.action("actMkdir");
    ASSERT_TRUE(w.findChild<QToolBar*>("mainToolBar")->actions().contains(mkdir));
    answerInput("Work");   // a site folder, made while the remote side is current
    mkdir->trigger();
    ASSERT_EQ(captions(w.FTPView), QStringList{"Work"});

    focus(w.FTPView);
    QTest::keyClick(w.FTPView, Qt::Key_Tab);
    EXPECT_TRUE(w.lvLoc->hasFocus());
    EXPECT_TRUE(marked(w.lvLoc));
    EXPECT_FALSE(marked(w.FTPView));
    select(w.lvLoc, {"gone.txt"});
    answerBox(QMessageBox::Yes);
    QTest::keyClick(w.lvLoc, Qt::Key_Delete);
    EXPECT_FALSE(fs::exists(dir / "gone.txt"));
    EXPECT_FALSE(captions(w.lvLoc).contains("gone.txt"));
    select(w.lvLoc, {"old.txt"});
    focus(w.lvLoc);
    answerInput("new.txt");
    QTest::keyClick(w.lvLoc, Qt::Key_F2);
    EXPECT_TRUE(fs::exists(dir / "new.txt"));
    EXPECT_FALSE(fs::exists(dir / "old.txt"));
    focus(w.logPane);
    answerInput("made-here");
    mkdir->trigger();
    EXPECT_TRUE(fs::is_directory(dir / "made-here"));
    EXPECT_EQ(w.program().local.currentDir(), (dir / "made-here").string()) << "a new local directory is entered";
    EXPECT_EQ(captions(w.FTPView), QStringList{"Work"}) << "the site list was left alone";

    focus(w.FTPPath);   // the path box is the remote panel's too
    answerInput("Home");
    mkdir->trigger();
    EXPECT_EQ(captions(w.FTPView), QStringList({"Home", "Work"}));
    focus(w.lvLoc);
    QTest::keyClick(w.lvLoc, Qt::Key_Tab);
    EXPECT_TRUE(w.FTPView->hasFocus());
    EXPECT_TRUE(marked(w.FTPView));
    select(w.FTPView, {"Work"});
    answerInput("Play");
    QTest::keyClick(w.FTPView, Qt::Key_F2);
    EXPECT_EQ(captions(w.FTPView), QStringList({"Home", "Play"}));
    EXPECT_TRUE(fs::exists(dir / "new.txt")) << "the local file was left alone";
}

TEST_F(MainWindowTest, AChosenListFontIsShownAndKeptForSaving)
{
    onNextModal<QFontDialog>([](QFontDialog* dialog) {
        EXPECT_FALSE(saveScreenshot(*dialog, "list_font_dialog").isEmpty());
        // The effects do not depend on which styles the installed fonts have.
        QFont font = dialog->currentFont();
        font.setUnderline(true);
        font.setStrikeOut(true);
        dialog->setCurrentFont(font);
        dialog->accept();
    });
    w().action("actRemoteFont")->trigger();
    EXPECT_TRUE(w().FTPView->font().underline());
    EXPECT_FALSE(w().lvLoc->font().underline());
    const ListFonts& fonts = w().program().settings.fonts;
    EXPECT_TRUE(fonts.Right.UnderLine && fonts.Right.StrikeOut);
    EXPECT_FALSE(fonts.Left.UnderLine);
}

TEST_F(MainWindowTest, AnIdleWindowSleepsAndNoToTheQuitQuestionKeepsIt)
{
    QTest::qWait(200);
    const WakeCounter wakes;
    QTest::qWait(1000);
    EXPECT_LT(wakes.qtWakes() + wakes.coreRounds(), 200u);

    onNextModal<QMessageBox>([](QMessageBox* box) {
        EXPECT_EQ(box->text(), "Do you want to quit the program?");
        box->button(QMessageBox::No)->click();
    });
    EXPECT_FALSE(window_->close());
    EXPECT_TRUE(window_->isVisible());
}

} // namespace
} // namespace brisk::test
