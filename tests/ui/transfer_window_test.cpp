// Transfers started from the main window against a real vsftpd: drag and drop between the panels,
// the upload and download actions, the overwrite prompt and the progress window with its Cancel.
#include "platform/event_loop.h"
#include "ui/file_list_model.h"
#include "ui/file_list_view.h"
#include "ui/input_form.h"
#include "ui/main_window.h"
#include "ui/overwrite_dialog.h"
#include "ui/progress_window.h"
#include "ui/qt_loop_driver.h"
#include "ui/site_properties_dialog.h"
#include "byte_pattern.h"
#include "ftp_users.h"
#include "modal.h"
#include "qt_wait.h"
#include "site_dialog_fill.h"
#include "screenshots.h"
#include "temp_home.h"
#include "vsftpd_server.h"
#include "window_fixture.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>

using namespace brisk;
using brisk::test::onNextModal;
using brisk::test::waitFor;
namespace fs = std::filesystem;

namespace {

class TransferWindowTest : public test::WindowTest {
protected:
    void SetUp() override
    {
        test::WindowTest::SetUp();
        if (!startVsftpd())
            GTEST_SKIP() << skipReason_;
        localDir_ = fs::path(home()) / "local";
        fs::create_directories(localDir_);
    }

    void showLocal()
    {
        ASSERT_TRUE(w().program().local.changeDirectory(localDir_.string()));
        w().refreshViews();
    }

    // What a drag of these rows out of `view` carries: the model's MIME data for their cells.
    QMimeData* dragOf(FileListView* view, const QStringList& names)
    {
        QModelIndexList cells;
        for (const QString& name : names) {
            const int row = int(captions(view).indexOf(name));
            EXPECT_GE(row, 0) << name.toStdString();
            for (int column = 0; column < view->model()->columnCount(); ++column)
                cells.push_back(view->model()->index(row, column));
        }
        return view->model()->mimeData(cells);
    }

    // Delivers a drag's enter, move and drop to the target list as Qt does; true when the drop
    // was accepted.
    static bool drop(FileListView* target, const QMimeData* data, std::optional<QPoint> onto = std::nullopt)
    {
        const QPoint at = onto.value_or(target->viewport()->rect().center());
        const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
        QDragEnterEvent enter(at, actions, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target->viewport(), &enter);
        QDragMoveEvent move(at, actions, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target->viewport(), &move);
        QDropEvent dropped(QPointF(at), actions, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target->viewport(), &dropped);
        return dropped.isAccepted();
    }

    bool waitForTransferEnd(int timeoutMs = 30000)
    {
        return waitFor([&] { return log().contains("Transfer finished:") && !session().transferChain().running(); },
                       timeoutMs);
    }

    static std::string read(const fs::path& path) { return readFile(path.string()); }

    fs::path localDir_;
};

TEST_F(TransferWindowTest, DraggingRemoteRowsOntoTheLocalPanelDownloadsADirectoryTree)
{
    const std::string a = test::bytePattern(70000, 1), b = test::bytePattern(300001, 2), c = test::bytePattern(5, 3);
    server_->writeDataFile("tree/a.txt", a);
    server_->writeDataFile("tree/sub/b.bin", b);
    server_->writeDataFile("tree/sub/deeper/c", c);
    server_->writeDataFile("tree/empty/.hidden", "not listed");
    server_->writeDataFile("top.txt", "not dragged");
    showLocal();
    connect({"tree", "top.txt"});

    // The drag carries "tree" while "top.txt" happens to be selected: the dragged rows count.
    select(w().FTPView, {"top.txt"});
    std::unique_ptr<QMimeData> data(dragOf(w().FTPView, {"tree"}));
    EXPECT_TRUE(drop(w().lvLoc, data.get()));
    ASSERT_TRUE(waitForTransferEnd()) << log().toStdString();

    EXPECT_EQ(read(localDir_ / "tree/a.txt"), a);
    EXPECT_EQ(read(localDir_ / "tree/sub/b.bin"), b);
    EXPECT_EQ(read(localDir_ / "tree/sub/deeper/c"), c);
    EXPECT_TRUE(fs::is_directory(localDir_ / "tree/empty"));
    EXPECT_FALSE(fs::exists(localDir_ / "top.txt"));
    EXPECT_TRUE(log().contains("Transfer finished: 3 transferred, 0 skipped, 0 failed")) << log().toStdString();
    // The local panel shows the new directory; the remote panel is back where it started.
    EXPECT_TRUE(waitFor([&] { return captions(w().lvLoc).contains("tree"); }));
    EXPECT_TRUE(waitFor([&] { return captions(w().FTPView) == QStringList({"tree", "top.txt"}); }));
    const TProgress* progress = w().findChild<TProgress*>();
    ASSERT_NE(progress, nullptr);
    EXPECT_FALSE(progress->isVisible());
}

TEST_F(TransferWindowTest, DropsThatAreNoTransferAreRefused)
{
    server_->writeDataFile("r.txt", "r");
    fs::create_directories(localDir_ / "d");
    TempHomeTest::writeFile((localDir_ / "l.txt").string(), "l");
    showLocal();

    // Not connected: the remote panel is the site list.
    std::unique_ptr<QMimeData> local(dragOf(w().lvLoc, {"l.txt"}));
    EXPECT_FALSE(drop(w().FTPView, local.get()));

    connect({"r.txt"});
    // From outside the program: files of a file manager, plain text, our format from another process.
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile((localDir_ / "l.txt").c_str())});
    files.setText("l.txt");
    EXPECT_FALSE(drop(w().FTPView, &files));
    EXPECT_FALSE(drop(w().lvLoc, &files));
    QMimeData foreign;
    foreign.setData(FileListModel::kMimeType, QByteArray("\0\0\0\0\0\0\0\1garbage", 16));
    EXPECT_FALSE(drop(w().FTPView, &foreign));
    EXPECT_FALSE(drop(w().lvLoc, &foreign));
    // A panel's rows dropped on itself start nothing.
    EXPECT_FALSE(drop(w().lvLoc, local.get()));
    std::unique_ptr<QMimeData> remote(dragOf(w().FTPView, {"r.txt"}));
    EXPECT_FALSE(drop(w().FTPView, remote.get()));

    QTest::qWait(300);
    EXPECT_FALSE(log().contains("Transfer finished:")) << log().toStdString();
    EXPECT_FALSE(fs::exists(localDir_ / "r.txt"));
    EXPECT_FALSE(fs::exists(server_->dataDir() / "l.txt"));
}

// The site list's own drag and drop goes through the same handler: a site dropped on a folder moves there.
TEST_F(TransferWindowTest, ASiteDraggedOntoAFolderStillMovesThere)
{
    onNextModal<TInputForm>([](TInputForm* form) {
        form->findChild<QLineEdit*>("edText")->setText("Work");
        form->accept();
    });
    w().action("actRemoteMkdir")->trigger();
    connect({});
    w().action("actDisconnect")->trigger();
    ASSERT_TRUE(waitFor([&] { return session().SiteListMode(); }));
    w().refreshViews();
    ASSERT_EQ(captions(w().FTPView), QStringList({"Work", "Local vsftpd"}));
    std::unique_ptr<QMimeData> site(dragOf(w().FTPView, {"Local vsftpd"}));
    const QRect folder = w().FTPView->visualRect(w().FTPView->model()->index(0, 0));
    EXPECT_TRUE(drop(w().FTPView, site.get(), folder.center()));
    EXPECT_EQ(captions(w().FTPView), QStringList{"Work"});
}

// The toolbar's generic commands act on the panel that last had the focus, not always on the remote one.
TEST_F(TransferWindowTest, TheToolbarsMakeDirectoryFollowsTheFocus)
{
    showLocal();
    connect({});
    auto* toolBar = w().findChild<QToolBar*>("mainToolBar");
    QAction* mkdir = w().action("actMkdir");
    ASSERT_TRUE(toolBar->actions().contains(mkdir));
    EXPECT_FALSE(toolBar->actions().contains(w().action("actRemoteMkdir")));
    auto makeDirectory = [&](const QString& name) {
        onNextModal<TInputForm>([name](TInputForm* form) {
            form->findChild<QLineEdit*>("edText")->setText(name);
            form->accept();
        });
        mkdir->trigger();
    };

    w().activateWindow();
    w().lvLoc->setFocus();
    ASSERT_TRUE(waitFor([&] { return w().lvLoc->hasFocus(); }));
    w().logPane->setFocus();  // the log is no panel: the local one stays current
    ASSERT_TRUE(waitFor([&] { return w().logPane->hasFocus(); }));
    makeDirectory("made-here");
    EXPECT_TRUE(fs::is_directory(localDir_ / "made-here"));
    EXPECT_FALSE(fs::exists(server_->dataDir() / "made-here"));
    EXPECT_EQ(w().program().local.currentDir(), (localDir_ / "made-here").string()) << "a new local directory is entered";

    w().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w()));
    w().FTPPath->setFocus();
    ASSERT_TRUE(waitFor([&] { return w().FTPPath->hasFocus(); }));
    makeDirectory("made-there");
    ASSERT_TRUE(waitFor([&] { return captions(w().FTPView).contains("made-there"); })) << log().toStdString();
    EXPECT_TRUE(fs::is_directory(server_->dataDir() / "made-there"));
    EXPECT_FALSE(fs::exists(localDir_ / "made-there"));
    EXPECT_FALSE(w().action("actView")->isEnabled()) << "viewing as text is for local files only";
}

TEST_F(TransferWindowTest, TheUploadButtonSendsTheSelectedFilesAndDirectories)
{
    const std::string one = test::bytePattern(123457, 4), two = test::bytePattern(10, 5), inner = test::bytePattern(65536, 6);
    TempHomeTest::writeFile((localDir_ / "one.bin").string(), one);
    TempHomeTest::writeFile((localDir_ / "two.txt").string(), two);
    TempHomeTest::writeFile((localDir_ / "left-out.txt").string(), "x");
    TempHomeTest::writeFile((localDir_ / "dir/inner.dat").string(), inner);
    TempHomeTest::writeFile((localDir_ / "dir/sub/leaf.txt").string(), "leaf");
    fs::create_directories(localDir_ / "dir/empty");
    showLocal();

    QAction* upload = w().action("actUpload");
    QAction* download = w().action("actDownload");
    ASSERT_NE(upload, nullptr);
    ASSERT_NE(download, nullptr);
    EXPECT_EQ(upload->text(), "Upload");
    EXPECT_EQ(download->text(), "Download");
    EXPECT_FALSE(upload->icon().isNull());
    EXPECT_FALSE(download->icon().isNull());
    EXPECT_FALSE(upload->isEnabled()) << "enabled without a session";
    EXPECT_FALSE(download->isEnabled());
    auto* toolBar = w().findChild<QToolBar*>("mainToolBar");
    ASSERT_NE(toolBar, nullptr);
    EXPECT_TRUE(toolBar->actions().contains(upload));
    EXPECT_TRUE(toolBar->actions().contains(download));
    EXPECT_TRUE(w().findChild<QMenu*>("pmLocal")->actions().contains(upload));
    EXPECT_TRUE(w().findChild<QMenu*>("pmRemote")->actions().contains(download));

    connect({});
    // The window enables them in its refresh after the session settles, a turn or two of the loop later.
    EXPECT_TRUE(waitFor([&] { return upload->isEnabled() && download->isEnabled(); }));
    EXPECT_FALSE(test::saveScreenshot(w(), "transfer_main_window").isEmpty());
    select(w().lvLoc, {"dir", "one.bin", "two.txt"});
    upload->trigger();
    EXPECT_FALSE(upload->isEnabled()) << "a second transfer could start while one runs";
    ASSERT_TRUE(waitForTransferEnd()) << log().toStdString();

    const fs::path data = server_->dataDir();
    EXPECT_EQ(read(data / "one.bin"), one);
    EXPECT_EQ(read(data / "two.txt"), two);
    EXPECT_EQ(read(data / "dir/inner.dat"), inner);
    EXPECT_EQ(read(data / "dir/sub/leaf.txt"), "leaf");
    EXPECT_TRUE(fs::is_directory(data / "dir/empty"));
    EXPECT_FALSE(fs::exists(data / "left-out.txt"));
    EXPECT_TRUE(log().contains("Transfer finished: 4 transferred, 0 skipped, 0 failed")) << log().toStdString();
    EXPECT_TRUE(waitFor([&] { return captions(w().FTPView) == QStringList({"dir", "one.bin", "two.txt"}); }))
        << captions(w().FTPView).join(",").toStdString();
    EXPECT_TRUE(upload->isEnabled());
}

TEST_F(TransferWindowTest, TheTransferTypeMenuChecksExactlyOneEntry)
{
    QMenu* types = w().findChild<QMenu*>("mnTransferType");
    ASSERT_NE(types, nullptr);
    EXPECT_EQ(types->title(), "Transfer Type");
    QStringList texts;
    for (QAction* entry : types->actions())
        texts.push_back(entry->text());
    EXPECT_EQ(texts, QStringList({"Auto", "ASCII", "Binary"}));
    auto checked = [types] {
        QStringList on;
        for (QAction* entry : types->actions())
            if (entry->isChecked())
                on.push_back(entry->text());
        return on;
    };
    EXPECT_EQ(checked(), QStringList{"Auto"});
    types->actions()[2]->trigger();
    EXPECT_EQ(session().transferTypeMenu(), 2);
    EXPECT_EQ(checked(), QStringList{"Binary"});
    types->actions()[1]->trigger();
    EXPECT_EQ(session().transferTypeMenu(), 1);
    EXPECT_EQ(checked(), QStringList{"ASCII"});
    session().SetTransferTypeMenu(0);
    w().refreshViews();
    EXPECT_EQ(checked(), QStringList{"Auto"});

    for (const char* name : {"mnTransfer", "mnTransferType", "pmLocal", "pmRemote"}) {
        auto* menu = w().findChild<QMenu*>(name);
        ASSERT_NE(menu, nullptr) << name;
        menu->popup(w().mapToGlobal(QPoint(100, 100)));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
        EXPECT_FALSE(test::saveScreenshot(*menu, QString("transfer_menu_") + name).isEmpty());
        menu->hide();
    }
}

// other.txt comes first (panel order): Save as, cancelled once, then onto a new name; same.txt: Skip.
TEST_F(TransferWindowTest, TheOverwritePromptSkipsAndSavesUnderANewName)
{
    server_->writeDataFile("other.txt", "remote other");
    server_->writeDataFile("same.txt", "remote same");
    TempHomeTest::writeFile((localDir_ / "other.txt").string(), "local other");
    TempHomeTest::writeFile((localDir_ / "same.txt").string(), "local same");
    showLocal();
    connect({"other.txt", "same.txt"});

    std::vector<std::string> asked;
    bool keptOpen = false;
    onNextModal<TFReWrite>([&](TFReWrite* prompt) {
        asked.push_back(prompt->findChild<QLabel*>("lbFileName")->text().toStdString());
        EXPECT_FALSE(test::saveScreenshot(*prompt, "overwrite_prompt").isEmpty());
        onNextModal<TInputForm>([&keptOpen, prompt](TInputForm* form) {
            form->reject();
            keptOpen = true;
        });
        prompt->button(OverwriteChoice::SaveAs)->click();
        keptOpen = keptOpen && prompt->isVisible();
        onNextModal<TInputForm>([](TInputForm* form) {
            EXPECT_FALSE(test::saveScreenshot(*form, "overwrite_save_as").isEmpty());
            auto* edit = form->findChild<QLineEdit*>("edText");
            edit->setText("renamed.txt");
            form->accept();
        });
        prompt->button(OverwriteChoice::SaveAs)->click();
        onNextModal<TFReWrite>([&asked](TFReWrite* second) {
            asked.push_back(second->findChild<QLabel*>("lbFileName")->text().toStdString());
            second->button(OverwriteChoice::Skip)->click();
        });
    });
    select(w().lvLoc, {"other.txt", "same.txt"});
    w().action("actUpload")->trigger();
    ASSERT_TRUE(waitForTransferEnd()) << log().toStdString();

    EXPECT_TRUE(keptOpen);
    EXPECT_EQ(asked, (std::vector<std::string>{"other.txt", "same.txt"}));
    const fs::path data = server_->dataDir();
    EXPECT_EQ(read(data / "renamed.txt"), "local other");
    EXPECT_EQ(read(data / "other.txt"), "remote other");
    EXPECT_EQ(read(data / "same.txt"), "remote same");
    EXPECT_TRUE(log().contains("Transfer finished: 1 transferred, 1 skipped, 0 failed")) << log().toStdString();
}

// Tens of megabytes at a limited rate: the progress window shows the figures while the transfer
// runs, the main window keeps the keyboard, and Cancel ends the transfer long before its end.
TEST_F(TransferWindowTest, TheProgressWindowShowsALongDownloadAndItsCancelStopsIt)
{
    constexpr int64_t kSize = 24 << 20;
    server_->writeDataFile("big.bin", test::bytePattern(size_t(kSize), 7));
    server_->setUserRateLimit(4 << 20);
    showLocal();
    connect({"big.bin"});
    w().activateWindow();
    ASSERT_TRUE(waitFor([&] { return QApplication::activeWindow() == &w(); }));
    const int linesBefore = int(log().count('\n'));

    select(w().FTPView, {"big.bin"});
    w().action("actDownload")->trigger();
    TProgress* progress = nullptr;
    ASSERT_TRUE(waitFor([&] {
        progress = w().findChild<TProgress*>();
        return progress && progress->isVisible() && progress->figures().barPosition() > (2 << 20) &&
               progress->findChild<QLabel*>("lbFileTransferred")->text().toLongLong() > 0;
    })) << log().toStdString();
    EXPECT_EQ(QApplication::activeWindow(), &w()) << "the progress window took the keyboard";
    EXPECT_EQ(progress->windowTitle(), "Receiving big.bin (25165824 bytes)");
    EXPECT_EQ(progress->findChild<QLabel*>("lbTransferRateCaption")->text(), "Transfer Rate:");
    QTest::qWait(1200);   // the clocks and the rate show more than zero
    EXPECT_FALSE(test::saveScreenshot(*progress, "progress_window").isEmpty());
    EXPECT_FALSE(test::saveScreenshot(w(), "transfer_running_main_window").isEmpty());
    ASSERT_TRUE(session().transferChain().running()) << "the download ended before the test could act";

    progress->findChild<QPushButton*>("btCancel")->click();
    ASSERT_TRUE(waitForTransferEnd()) << log().toStdString();
    EXPECT_FALSE(progress->isVisible());
    EXPECT_TRUE(log().contains("Starting transfer of big.bin"));
    EXPECT_TRUE(log().contains("Transfer finished: 0 transferred")) << log().toStdString();
    EXPECT_LT(fs::file_size(localDir_ / "big.bin"), uintmax_t(kSize));
    // The log has the dialogue of the transfer, not a line per block of data.
    EXPECT_LT(int(log().count('\n')) - linesBefore, 40) << log().toStdString();
    // The session goes on: the panel still lists the directory.
    EXPECT_TRUE(waitFor([&] { return session().canTransfer(); }));
    EXPECT_EQ(captions(w().FTPView), QStringList{"big.bin"});
}

// Escape (the Stop action) in the main window stops a running upload.
TEST_F(TransferWindowTest, EscapeStopsARunningUpload)
{
    constexpr int64_t kSize = 24 << 20;
    TempHomeTest::writeFile((localDir_ / "up.bin").string(), test::bytePattern(size_t(kSize), 8));
    server_->setUserRateLimit(4 << 20);
    showLocal();
    connect({});
    select(w().lvLoc, {"up.bin"});
    w().activateWindow();
    w().lvLoc->setFocus();
    ASSERT_TRUE(waitFor([&] { return w().lvLoc->hasFocus(); }));

    w().action("actUpload")->trigger();
    ASSERT_TRUE(waitFor([&] {
        const TProgress* progress = w().findChild<TProgress*>();
        return progress && progress->isVisible() && progress->figures().barPosition() > (1 << 20);
    })) << log().toStdString();
    EXPECT_TRUE(w().action("actStop")->isEnabled());
    QTest::keyClick(w().lvLoc, Qt::Key_Escape);
    ASSERT_TRUE(waitForTransferEnd()) << log().toStdString();
    EXPECT_TRUE(log().contains("Transfer finished: 0 transferred")) << log().toStdString();
    EXPECT_LT(fs::file_size(server_->dataDir() / "up.bin"), uintmax_t(kSize));
    EXPECT_FALSE(w().findChild<TProgress*>()->isVisible());
    EXPECT_TRUE(waitFor([&] { return session().canTransfer(); })) << log().toStdString();
}

} // namespace

