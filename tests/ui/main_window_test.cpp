#include "platform/event_loop.h"
#include "ui/file_list_view.h"
#include "ui/input_form.h"
#include "ui/main_window.h"
#include "ui/qt_loop_driver.h"
#include "ui/site_properties_dialog.h"
#include "modal.h"
#include "qt_wait.h"
#include "site_dialog_fill.h"
#include "screenshots.h"
#include "server_tls.h"
#include "temp_dir.h"
#include "loopback_port.h"
#include "temp_home.h"
#include "vsftpd_server.h"
#include "window_fixture.h"
#include "ftp_users.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFontDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>

using namespace brisk;
using brisk::test::onNextModal;
using brisk::test::waitFor;

namespace {

QStringList texts(const QComboBox* box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out.push_back(box->itemText(i));
    return out;
}

QString header(const FileListView* view, int column)
{
    return view->model()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
}

class MainWindowTest : public test::WindowTest {
protected:
    void SetUp() override
    {
        test::WindowTest::SetUp();
        std::ofstream(userHome_ + "/mine.txt") << "mine";
        open();
    }

    // Gives the keyboard focus to a panel's list, as a click would; the window's shortcuts need it active,
    // which it may not be again yet after a dialog.
    void focus(FileListView* view)
    {
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        view->setFocus();
        ASSERT_TRUE(waitFor([view] { return view->hasFocus(); }));
    }

    void activate(FileListView* view, const QString& caption)
    {
        const int row = int(captions(view).indexOf(caption));
        ASSERT_GE(row, 0) << caption.toStdString();
        ASSERT_EQ(captions(view).count(caption), 1) << caption.toStdString();
        const QModelIndex index = view->model()->index(row, 0);
        view->setCurrentIndex(index);
        emit view->activated(index);
    }

    // Fills and saves the site dialog the New Server action opens.
    // A new site "Local vsftpd" for the test's server; `security` is the Security box's row, if given.
    void createSite(uint16_t port, const QString& host = "127.0.0.1", std::optional<int> security = {})
    {
        onNextModal<TFFtpBase>([port, host, security](TFFtpBase* dialog) {
            test::fillVsftpdSite(dialog, port);
            auto* server = dialog->findChild<QLineEdit*>("edServer");
            server->clear();
            QTest::keyClicks(server, host);
            if (security)
                dialog->findChild<QComboBox*>("cbSecurity")->setCurrentIndex(*security);
            test::saveScreenshot(*dialog, "main_site_dialog");
            dialog->findChild<QPushButton*>("btSave")->click();
        });
        window_->action("actNewSite")->trigger();
    }

};

bool marked(const FileListView* view)
{
    const QWidget* window = view->window();
    return view->header()->font().bold() &&
           view->header()->palette().color(QPalette::Button) == window->palette().color(QPalette::Highlight);
}

TEST_F(MainWindowTest, CreateASiteConnectBrowseAndDisconnect)
{
    if (auto why = test::VsftpdServer::unavailableReason())
        GTEST_SKIP() << *why;
    test::VsftpdServer server;
    server.writeDataFile("dir1/inner.txt", "inner");
    server.writeDataFile("top.txt", "top");
    T_Main& w = *window_;

    EXPECT_EQ(header(w.FTPView, 0), "FTP Servers");
    createSite(server.port());
    ASSERT_EQ(captions(w.FTPView), QStringList{"Local vsftpd"});
    EXPECT_TRUE(test::textRenders(w.FTPView->font()));
    EXPECT_FALSE(test::saveScreenshot(w, "main_site_list").isEmpty());

    activate(w.FTPView, "Local vsftpd");
    ASSERT_TRUE(waitFor([&] { return captions(w.FTPView) == QStringList({"dir1", "top.txt"}); }))
        << w.logPane->toPlainText().toStdString();
    EXPECT_EQ(header(w.FTPView, 0), "Filename");
    EXPECT_EQ(header(w.FTPView, 4), "Attribute");
    EXPECT_EQ(texts(w.FTPPath), (QStringList{"SERVER LIST ...", "127.0.0.1"}));
    EXPECT_TRUE(w.logPane->toPlainText().contains("> PASS (hidden)\n"));
    EXPECT_FALSE(w.logPane->toPlainText().contains(QString(test::kFtpPassword)));
    EXPECT_TRUE(w.action("actDisconnect")->isEnabled());
    EXPECT_FALSE(w.action("actConnect")->isEnabled());
    EXPECT_EQ(w.windowTitle(), "Brisklane - Local vsftpd - /");
    EXPECT_EQ(w.remoteInfo->parentWidget(), w.statusBar());
    EXPECT_EQ(w.localInfo->parentWidget(), w.statusBar());
    EXPECT_TRUE(w.remoteInfo->isVisible());
    EXPECT_FALSE(test::saveScreenshot(w, "main_connected").isEmpty());

    w.lvLoc->setCurrentIndex(w.lvLoc->model()->index(int(captions(w.lvLoc).indexOf("mine.txt")), 0));
    focus(w.FTPView);
    w.FTPView->setCurrentIndex(w.FTPView->model()->index(1, 0));
    EXPECT_FALSE(w.localInfo->text().isEmpty());
    EXPECT_FALSE(w.remoteInfo->text().isEmpty());
    EXPECT_FALSE(test::saveScreenshot(w, "main_connected_status").isEmpty());
    onNextModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
    QTest::keyClick(w.FTPView, Qt::Key_Delete);
    ASSERT_TRUE(waitFor([&] { return captions(w.FTPView) == QStringList{"dir1"}; }))
        << w.logPane->toPlainText().toStdString();
    EXPECT_FALSE(std::filesystem::exists(server.dataDir() / "top.txt"));

    activate(w.FTPView, "dir1");
    ASSERT_TRUE(waitFor([&] { return texts(w.FTPPath).size() == 3; }));
    EXPECT_EQ(texts(w.FTPPath).back(), "dir1");
    EXPECT_EQ(captions(w.FTPView), QStringList{"inner.txt"});
    EXPECT_EQ(w.windowTitle(), "Brisklane - Local vsftpd - /dir1");

    w.FTPView->setFocus();
    QTest::keyClick(w.FTPView, Qt::Key_Backspace);
    ASSERT_TRUE(waitFor([&] { return texts(w.FTPPath).size() == 2; }));
    EXPECT_EQ(captions(w.FTPView), QStringList{"dir1"});

    w.FTPPath->setCurrentIndex(0);
    emit w.FTPPath->activated(0);
    ASSERT_TRUE(waitFor([&] { return header(w.FTPView, 0) == "FTP Servers"; }));
    EXPECT_EQ(captions(w.FTPView), QStringList{"Local vsftpd"});
    EXPECT_TRUE(w.logPane->toPlainText().contains("Connection closed"));
    EXPECT_TRUE(w.action("actConnect")->isEnabled());
    EXPECT_EQ(w.windowTitle(), "Brisklane");
}

// A site stored with "[::1]" opens from the window and lists over IPv6.
TEST_F(MainWindowTest, AnIpv6SiteOpensFromTheWindow)
{
    if (auto why = test::VsftpdServer::unavailableReason())
        GTEST_SKIP() << *why;
    if (!test::ipv6LoopbackAvailable())
        GTEST_SKIP() << "no IPv6 loopback (::1) on this machine";
    test::VsftpdServer server(test::Loopback::ipv6);
    server.writeDataFile("six.txt", "6");
    T_Main& w = *window_;
    createSite(server.port(), "[::1]");
    activate(w.FTPView, "Local vsftpd");
    ASSERT_TRUE(waitFor([&] { return captions(w.FTPView) == QStringList{"six.txt"}; }))
        << w.logPane->toPlainText().toStdString();
    EXPECT_EQ(texts(w.FTPPath), (QStringList{"SERVER LIST ...", "::1"}));
    EXPECT_TRUE(w.logPane->toPlainText().contains("\n> EPSV\n")) << w.logPane->toPlainText().toStdString();
}

// A site that requires TLS asks about the server's self-signed certificate in the window; "Trust
// always" opens the session, and the next one is not asked again.
TEST_F(MainWindowTest, ATlsSiteAsksAboutTheCertificateOnce)
{
    if (auto why = test::VsftpdServer::unavailableReason())
        GTEST_SKIP() << *why;
    test::TempDir dir;
    const test::ServerTls tls = test::makeServerTls(dir.path() / "tls");
    test::VsftpdServer server(tls);
    server.writeDataFile("secret.txt", "s");
    T_Main& w = *window_;
    createSite(server.port(), "127.0.0.1", ftpSecurityExplicitRequired);
    int asked = 0;
    onNextModal<QMessageBox>([&](QMessageBox* box) {
        ++asked;
        EXPECT_TRUE(box->text().contains(QString::fromStdString(tls.fingerprint))) << box->text().toStdString();
        test::saveScreenshot(*box, "main_certificate_question");
        for (QAbstractButton* button : box->buttons())
            if (button->text() == "Trust always")
                button->click();
    });
    activate(w.FTPView, "Local vsftpd");
    ASSERT_TRUE(waitFor([&] { return captions(w.FTPView) == QStringList{"secret.txt"}; }))
        << w.logPane->toPlainText().toStdString();
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(w.logPane->toPlainText().contains("TLS connection established: TLSv1.3"));

    w.action("actDisconnect")->trigger();
    ASSERT_TRUE(waitFor([&] { return captions(w.FTPView) == QStringList{"Local vsftpd"}; }));
    activate(w.FTPView, "Local vsftpd");
    ASSERT_TRUE(waitFor([&] { return captions(w.FTPView) == QStringList{"secret.txt"}; }))
        << w.logPane->toPlainText().toStdString();
    EXPECT_EQ(asked, 1);
}

TEST_F(MainWindowTest, AModalDialogDoesNotStallARunningListing)
{
    if (auto why = test::VsftpdServer::unavailableReason())
        GTEST_SKIP() << *why;
    test::VsftpdServer server;
    server.writeDataFile("a.txt", "a");
    T_Main& w = *window_;
    createSite(server.port());
    activate(w.FTPView, "Local vsftpd");
    ASSERT_TRUE(waitFor([&] { return captions(w.FTPView) == QStringList{"a.txt"}; }));

    server.writeDataFile("b.txt", "b");
    const uint64_t before = w.program().session.listingsShown();
    bool arrivedWhileOpen = false;
    QDialog dialog(&w);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (w.program().session.listingsShown() > before) {
            arrivedWhileOpen = dialog.isVisible();
            dialog.accept();
        }
    });
    QTimer::singleShot(5000, &dialog, &QDialog::reject);
    w.action("actRemoteRefresh")->trigger();
    poll.start(10);
    dialog.exec();
    EXPECT_TRUE(arrivedWhileOpen);
    EXPECT_TRUE(waitFor([&] { return captions(w.FTPView) == QStringList({"a.txt", "b.txt"}); }));
}

TEST_F(MainWindowTest, EditingARemoteNameRenamesItOnTheServer)
{
    if (auto why = test::VsftpdServer::unavailableReason())
        GTEST_SKIP() << *why;
    test::VsftpdServer server;
    server.writeDataFile("old.txt", "o");
    T_Main& w = *window_;
    createSite(server.port());
    activate(w.FTPView, "Local vsftpd");
    ASSERT_TRUE(waitFor([&] { return captions(w.FTPView) == QStringList{"old.txt"}; }));

    const QModelIndex item = w.FTPView->model()->index(0, 0);
    EXPECT_TRUE(item.flags() & Qt::ItemIsEditable);
    EXPECT_TRUE(w.FTPView->model()->setData(item, "new.txt"));  // what the editor does when the edit ends
    ASSERT_TRUE(waitFor([&] { return captions(w.FTPView) == QStringList{"new.txt"}; }))
        << w.logPane->toPlainText().toStdString();
    EXPECT_TRUE(w.logPane->toPlainText().contains("Renaming file\n> RNFR old.txt\n"));
    EXPECT_TRUE(std::filesystem::exists(server.dataDir() / "new.txt"));
}

TEST_F(MainWindowTest, TheLocalPanelStartsInTheHomeDirectoryAndTheHalvesStayEqual)
{
    T_Main& w = *window_;
    EXPECT_EQ(w.windowTitle(), "Brisklane");
    EXPECT_EQ(header(w.lvLoc, 0), "Filename");
    EXPECT_EQ(header(w.lvLoc, 3), "Time");
    EXPECT_EQ(w.program().local.currentDir(), userHome_);
    EXPECT_EQ(texts(w.localPath).front(), "/");
    EXPECT_EQ(texts(w.localPath).back(), "user");
    EXPECT_TRUE(captions(w.lvLoc).contains("mine.txt"));
    w.resize(1000, 700);
    QTest::qWait(20);
    const QWidget* left = w.lvLoc->parentWidget();
    const QWidget* right = w.FTPView->parentWidget();
    EXPECT_LE(std::abs(left->width() - right->width()), 1);
}

TEST_F(MainWindowTest, LocalListReadsTheCoreRowsAndTheirSelection)
{
    T_Main& w = *window_;
    const std::filesystem::path dir = std::filesystem::path(std::getenv("BRISKLANE_HOME")) / "files";
    std::filesystem::create_directories(dir / "sub");
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

    // Clicking a column sorts as the core model does; the view only shows the new order.
    emit w.lvLoc->header()->sectionClicked(0);
    EXPECT_EQ(captions(w.lvLoc), QStringList({"sub", "c.txt", "b.txt", "a.txt"}));

    // View to core: the selected rows and the status line.
    w.lvLoc->selectionModel()->select(w.lvLoc->model()->index(1, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    w.lvLoc->selectionModel()->select(w.lvLoc->model()->index(3, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(local.panel().selectedIndices(), (std::vector<size_t>{1, 3}));
    EXPECT_EQ(w.lvLoc->selectedRows(), (std::vector<int>{1, 3}));
    EXPECT_TRUE(w.localInfo->text().startsWith("10 ")) << w.localInfo->text().toStdString();

    // Core to view.
    local.panel().invertSelection();
    w.refreshViews();
    EXPECT_EQ(w.lvLoc->selectedRows(), (std::vector<int>{0, 2}));
    EXPECT_FALSE(test::saveScreenshot(w, "main_local_selection").isEmpty());
}

TEST_F(MainWindowTest, DeleteAndF2ActOnThePanelThatHasTheFocus)
{
    T_Main& w = *window_;
    const std::filesystem::path dir = userHome_;
    for (const char* name : {"gone.txt", "old.txt"})
        std::ofstream(dir / name) << name;
    w.program().local.RefreshLocalPanel();
    w.refreshViews();
    EXPECT_TRUE(marked(w.FTPView)) << "the remote side is current at start";
    EXPECT_FALSE(marked(w.lvLoc));
    // A site folder on the remote side, made while it is current.
    onNextModal<TInputForm>([](TInputForm* form) {
        QTest::keyClicks(form->findChild<QLineEdit*>("edText"), "Work");
        form->accept();
    });
    w.action("actMkdir")->trigger();
    ASSERT_EQ(captions(w.FTPView), QStringList{"Work"});

    focus(w.lvLoc);
    EXPECT_TRUE(marked(w.lvLoc));
    EXPECT_FALSE(marked(w.FTPView));
    w.lvLoc->setCurrentIndex(w.lvLoc->model()->index(int(captions(w.lvLoc).indexOf("gone.txt")), 0));
    ASSERT_EQ(w.program().local.panel().selectedIndices().size(), 1u);
    onNextModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
    QTest::keyClick(w.lvLoc, Qt::Key_Delete);
    EXPECT_FALSE(std::filesystem::exists(dir / "gone.txt"));
    EXPECT_FALSE(captions(w.lvLoc).contains("gone.txt"));

    w.lvLoc->setCurrentIndex(w.lvLoc->model()->index(int(captions(w.lvLoc).indexOf("old.txt")), 0));
    focus(w.lvLoc);
    onNextModal<TInputForm>([](TInputForm* form) {
        auto* edit = form->findChild<QLineEdit*>("edText");
        edit->clear();
        QTest::keyClicks(edit, "new.txt");
        form->accept();
    });
    QTest::keyClick(w.lvLoc, Qt::Key_F2);
    EXPECT_TRUE(std::filesystem::exists(dir / "new.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir / "old.txt"));
    EXPECT_EQ(captions(w.FTPView), QStringList{"Work"}) << "the site list was left alone";

    focus(w.FTPView);
    EXPECT_TRUE(marked(w.FTPView));
    EXPECT_FALSE(marked(w.lvLoc));
    w.FTPView->setCurrentIndex(w.FTPView->model()->index(0, 0));
    onNextModal<TInputForm>([](TInputForm* form) {
        auto* edit = form->findChild<QLineEdit*>("edText");
        edit->clear();
        QTest::keyClicks(edit, "Play");
        form->accept();
    });
    QTest::keyClick(w.FTPView, Qt::Key_F2);
    EXPECT_EQ(captions(w.FTPView), QStringList{"Play"});
    focus(w.FTPView);
    onNextModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
    QTest::keyClick(w.FTPView, Qt::Key_Delete);
    EXPECT_TRUE(captions(w.FTPView).isEmpty());
    EXPECT_TRUE(std::filesystem::exists(dir / "new.txt")) << "the local file was left alone";
    EXPECT_TRUE(std::filesystem::exists(dir / "mine.txt"));
}

TEST_F(MainWindowTest, TabSwitchesBetweenThePanels)
{
    T_Main& w = *window_;
    w.activateWindow();
    w.lvLoc->setFocus();
    ASSERT_TRUE(waitFor([&] { return w.lvLoc->hasFocus(); }));
    EXPECT_TRUE(marked(w.lvLoc));
    QTest::keyClick(w.lvLoc, Qt::Key_Tab);
    EXPECT_TRUE(marked(w.FTPView));
    EXPECT_FALSE(marked(w.lvLoc));
    EXPECT_TRUE(w.FTPView->hasFocus()) << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName().toStdString() : "none");
    QTest::keyClick(w.FTPView, Qt::Key_Tab);
    EXPECT_TRUE(w.lvLoc->hasFocus());
}

TEST_F(MainWindowTest, SiteFoldersAreMadeAndASiteDroppedOnOneMovesThere)
{
    T_Main& w = *window_;
    onNextModal<TInputForm>([](TInputForm* form) {
        QTest::keyClicks(form->findChild<QLineEdit*>("edText"), "Work");
        form->accept();
    });
    w.action("actRemoteMkdir")->trigger();
    ASSERT_EQ(captions(w.FTPView), QStringList{"Work"});
    createSite(21);
    ASSERT_EQ(captions(w.FTPView), QStringList({"Work", "Local vsftpd"}));

    w.FTPView->onRowDropped(1, 0);
    EXPECT_EQ(captions(w.FTPView), QStringList{"Work"});
    activate(w.FTPView, "Work");
    EXPECT_EQ(captions(w.FTPView), QStringList({"..", "Local vsftpd"}));
    EXPECT_EQ(texts(w.FTPPath).back(), "work");
}

TEST_F(MainWindowTest, AChosenListFontIsShownAndKeptForSaving)
{
    T_Main& w = *window_;
    onNextModal<QFontDialog>([](QFontDialog* dialog) {
        // The effects do not depend on which styles the installed fonts have.
        QFont font = dialog->currentFont();
        font.setUnderline(true);
        font.setStrikeOut(true);
        dialog->setCurrentFont(font);
        dialog->accept();
    });
    w.action("actRemoteFont")->trigger();
    EXPECT_TRUE(w.FTPView->font().underline());
    EXPECT_FALSE(w.lvLoc->font().underline());
    EXPECT_TRUE(w.program().settings.fonts.Right.UnderLine);
    EXPECT_TRUE(w.program().settings.fonts.Right.StrikeOut);
    EXPECT_FALSE(w.program().settings.fonts.Left.UnderLine);
}

TEST_F(MainWindowTest, IdleWindowUsesAlmostNoCpu)
{
    QTest::qWait(200);
    const test::WakeCounter wakes;
    QTest::qWait(1000);
    EXPECT_LT(wakes.qtWakes() + wakes.coreRounds(), 200u);
}

TEST_F(MainWindowTest, QuitQuestionKeepsTheWindowOnNo)
{
    onNextModal<QMessageBox>([](QMessageBox* box) {
        EXPECT_EQ(box->windowTitle(), "Attention");
        EXPECT_EQ(box->text(), "Do you want to quit the program?");
        box->button(QMessageBox::No)->click();
    });
    EXPECT_FALSE(window_->close());
    EXPECT_TRUE(window_->isVisible());
}

} // namespace
