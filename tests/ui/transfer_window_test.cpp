// Transfers started from the main window against a real vsftpd: drag and drop between the panels,
// the upload and download actions, the overwrite prompt and the progress window with its Cancel.
#include "ui/file_list_model.h"
#include "ui/overwrite_dialog.h"
#include "ui/progress_window.h"
#include "byte_pattern.h"
#include "file_tree.h"
#include "window_fixture.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QToolBar>

namespace brisk::test {
namespace {

namespace fs = std::filesystem;
using Tree = std::map<std::string, std::string>;

class TransferWindowTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        NEED_VSFTPD();
        localDir_ = fs::path(home()) / "local";
        fs::create_directories(localDir_);
    }

    void showLocal() { WindowTest::showLocal(localDir_.string()); }

    // What a drag of these rows out of `view` carries: the model's MIME data for their cells.
    std::unique_ptr<QMimeData> dragOf(FileListView* view, const QStringList& names)
    {
        QModelIndexList cells;
        for (const QString& name : names) {
            const int row = int(captions(view).indexOf(name));
            EXPECT_GE(row, 0) << name.toStdString();
            for (int column = 0; column < view->model()->columnCount(); ++column)
                cells.push_back(view->model()->index(row, column));
        }
        return std::unique_ptr<QMimeData>(view->model()->mimeData(cells));
    }

    // Delivers a drag's enter, move and drop to the target list as Qt does; true when the drop was accepted.
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

    // The session's walk and the queue's connections are both done.
    bool waitForTransferEnd()
    {
        const MainProgram& program = w().program();
        return waitFor([&] {
            return log().contains("Transfer finished:") && !session().transferChain().running() &&
                   program.queueRunner.running() == 0 && program.queue.counts().queued == 0;
        }, 30000);
    }
    // Waits until the progress window shows more than `bytes` done.
    TProgress* waitForProgress(int64_t bytes)
    {
        TProgress* progress = nullptr;
        EXPECT_TRUE(waitFor([&] {
            progress = w().findChild<TProgress*>();
            return progress && progress->isVisible() && progress->figures().barPosition() > bytes;
        })) << log().toStdString();
        return progress;
    }

    fs::path localDir_;
};

TEST_F(TransferWindowTest, DraggingRemoteRowsOntoTheLocalPanelDownloadsADirectoryTree)
{
    const std::string b = bytePattern(300001, 2);
    server_->writeDataFile("tree/sub/b.bin", b);
    server_->writeDataFile("top.txt", "not dragged");
    showLocal();
    connect({"tree", "top.txt"});

    // The drag carries "tree" while "top.txt" happens to be selected: the dragged rows count.
    select(w().FTPView, {"top.txt"});
    EXPECT_TRUE(drop(w().lvLoc, dragOf(w().FTPView, {"tree"}).get()));
    ASSERT_TRUE(waitForTransferEnd()) << log().toStdString();

    EXPECT_EQ(treeOf(localDir_), (Tree{{"tree", "<dir>"}, {"tree/sub", "<dir>"}, {"tree/sub/b.bin", b}}));
    EXPECT_TRUE(log().contains("Transfer finished: 1 transferred, 0 skipped, 0 failed")) << log().toStdString();
    EXPECT_TRUE(waitFor([&] { return captions(w().lvLoc).contains("tree"); }));
    EXPECT_TRUE(waitFor([&] { return captions(w().FTPView) == QStringList({"tree", "top.txt"}); }));
}

TEST_F(TransferWindowTest, DropsThatAreNoTransferAreRefused)
{
    server_->writeDataFile("r.txt", "r");
    writeFile((localDir_ / "l.txt").string(), "l");
    showLocal();
    // Not connected: the remote panel is the site list.
    const std::unique_ptr<QMimeData> local = dragOf(w().lvLoc, {"l.txt"});
    EXPECT_FALSE(drop(w().FTPView, local.get()));

    connect({"r.txt"});
    // From outside the program: files of a file manager, plain text, our format from another process.
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile((localDir_ / "l.txt").c_str())});
    files.setText("l.txt");
    QMimeData foreign;
    foreign.setData(FileListModel::kMimeType, QByteArray("\0\0\0\0\0\0\0\1garbage", 16));
    for (const QMimeData* outside : {&files, &foreign}) {
        EXPECT_FALSE(drop(w().FTPView, outside));
        EXPECT_FALSE(drop(w().lvLoc, outside));
    }
    // A panel's rows dropped on itself start nothing.
    EXPECT_FALSE(drop(w().lvLoc, local.get()));
    EXPECT_FALSE(drop(w().FTPView, dragOf(w().FTPView, {"r.txt"}).get()));

    QTest::qWait(300);
    EXPECT_FALSE(log().contains("Transfer finished:")) << log().toStdString();
    EXPECT_FALSE(fs::exists(localDir_ / "r.txt"));
    EXPECT_FALSE(fs::exists(server_->dataDir() / "l.txt"));
}

// The site list's own drag and drop goes through the same handler: a site dropped on a folder moves there.
TEST_F(TransferWindowTest, ASiteDraggedOntoAFolderMovesThere)
{
    answerInput("Work");
    w().action("actRemoteMkdir")->trigger();
    createSite();
    ASSERT_EQ(captions(w().FTPView), QStringList({"Work", "Local vsftpd"}));
    const QRect folder = w().FTPView->visualRect(w().FTPView->model()->index(0, 0));
    EXPECT_TRUE(drop(w().FTPView, dragOf(w().FTPView, {"Local vsftpd"}).get(), folder.center()));
    EXPECT_EQ(captions(w().FTPView), QStringList{"Work"});
    activate(w().FTPView, "Work");
    EXPECT_EQ(captions(w().FTPView), QStringList({"..", "Local vsftpd"}));
    EXPECT_EQ(texts(w().FTPPath).back(), "work");
}

// The Upload button sends the selected files and directories. Files that exist there ask first:
// other.txt comes first (panel order) and is saved under a new name; same.txt is skipped.
TEST_F(TransferWindowTest, TheUploadButtonSendsTheSelectionAskingBeforeItOverwrites)
{
    const std::string one = bytePattern(123457, 4);
    for (const auto& [name, bytes] : {std::pair<const char*, std::string>{"one.bin", one}, {"dir/inner.txt", "in"},
                                      {"left-out.txt", "x"}, {"other.txt", "local other"}, {"same.txt", "local same"}})
        writeFile((localDir_ / name).string(), bytes);
    server_->writeDataFile("other.txt", "remote other");
    server_->writeDataFile("same.txt", "remote same");
    showLocal();
    QAction* upload = w().action("actUpload");
    QAction* download = w().action("actDownload");
    EXPECT_FALSE(upload->isEnabled() || download->isEnabled()) << "enabled without a session";
    connect({"other.txt", "same.txt"});
    // The window enables them in its refresh after the session settles, a turn or two of the loop later.
    EXPECT_TRUE(waitFor([&] { return upload->isEnabled() && download->isEnabled(); }));
    EXPECT_FALSE(saveScreenshot(w(), "transfer_main_window").isEmpty());

    std::vector<std::string> asked;
    onNextModal<TFReWrite>([&](TFReWrite* prompt) {
        asked.push_back(prompt->findChild<QLabel*>("lbFileName")->text().toStdString());
        EXPECT_FALSE(saveScreenshot(*prompt, "overwrite_prompt").isEmpty());
        // A cancelled Save As leaves the prompt open.
        onNextModal<TInputForm>([](TInputForm* form) { form->reject(); });
        prompt->button(OverwriteChoice::SaveAs)->click();
        EXPECT_EQ(QApplication::activeModalWidget(), prompt);
        onNextModal<TInputForm>([](TInputForm* form) {
            EXPECT_FALSE(saveScreenshot(*form, "overwrite_save_as").isEmpty());
            EXPECT_EQ(form->windowTitle() + "|" + form->findChild<QLabel*>("lbPrompt")->text() + "|" +
                          form->findChild<QLineEdit*>("edText")->text(),
                      "Save as ...|New Path|other.txt");
            form->findChild<QLineEdit*>("edText")->setText("renamed.txt");
            form->accept();
        });
        prompt->button(OverwriteChoice::SaveAs)->click();
        onNextModal<TFReWrite>([&asked](TFReWrite* second) {
            asked.push_back(second->findChild<QLabel*>("lbFileName")->text().toStdString());
            second->button(OverwriteChoice::Skip)->click();
        });
    });
    select(w().lvLoc, {"dir", "one.bin", "other.txt", "same.txt"});
    upload->trigger();
    EXPECT_FALSE(upload->isEnabled()) << "a second transfer could start while one runs";
    ASSERT_TRUE(waitForTransferEnd()) << log().toStdString();

    EXPECT_EQ(asked, (std::vector<std::string>{"other.txt", "same.txt"}));
    EXPECT_EQ(treeOf(server_->dataDir()),
              (Tree{{"dir", "<dir>"}, {"dir/inner.txt", "in"}, {"one.bin", one}, {"other.txt", "remote other"},
                    {"renamed.txt", "local other"}, {"same.txt", "remote same"}}));
    EXPECT_TRUE(waitFor([&] {
        return captions(w().FTPView) == QStringList({"dir", "one.bin", "other.txt", "renamed.txt", "same.txt"});
    }));
    EXPECT_TRUE(upload->isEnabled());
}

TEST_F(TransferWindowTest, TheTransferTypeMenuChecksExactlyOneEntry)
{
    QMenu* types = menu("mnTransferType");
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
    session().SetTransferTypeMenu(1);
    w().refreshViews();
    EXPECT_EQ(checked(), QStringList{"ASCII"});

    for (const char* name : {"mnTransfer", "mnTransferType", "pmLocal", "pmRemote"}) {
        QMenu* shown = menu(name);
        shown->popup(w().mapToGlobal(QPoint(100, 100)));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(shown));
        EXPECT_FALSE(saveScreenshot(*shown, QString("transfer_menu_") + name).isEmpty());
        shown->hide();
    }
}

// Tens of megabytes at a limited rate: the progress window shows the figures while a download runs,
// the main window keeps the keyboard, and its Cancel ends the transfer long before its end; Escape in
// the main window stops an upload the same way.
TEST_F(TransferWindowTest, CancelInTheProgressWindowAndEscapeStopLongTransfers)
{
    constexpr int64_t kSize = 24 << 20;
    server_->writeDataFile("big.bin", bytePattern(size_t(kSize), 7));
    writeFile((localDir_ / "up.bin").string(), bytePattern(size_t(kSize), 8));
    server_->setUserRateLimit(4 << 20);
    showLocal();
    connect({"big.bin"});
    w().activateWindow();
    ASSERT_TRUE(waitFor([&] { return QApplication::activeWindow() == &w(); }));
    const qsizetype linesBefore = log().count('\n');

    select(w().FTPView, {"big.bin"});
    w().action("actDownload")->trigger();
    TProgress* progress = waitForProgress(2 << 20);
    ASSERT_NE(progress, nullptr);
    ASSERT_TRUE(waitFor([&] { return progress->findChild<QLabel*>("lbFileTransferred")->text().toLongLong() > 0; }));
    EXPECT_EQ(QApplication::activeWindow(), &w()) << "the progress window took the keyboard";
    EXPECT_EQ(progress->windowTitle(), "Receiving big.bin (25165824 bytes)");
    QTest::qWait(1200);   // the clocks and the rate show more than zero
    EXPECT_FALSE(saveScreenshot(*progress, "progress_window").isEmpty());
    EXPECT_FALSE(saveScreenshot(w(), "transfer_running_main_window").isEmpty());
    ASSERT_GT(w().program().queueRunner.running(), 0u) << "the download ended before the test could act";
    progress->findChild<QPushButton*>("btCancel")->click();
    ASSERT_TRUE(waitForTransferEnd()) << log().toStdString();
    EXPECT_FALSE(progress->isVisible());
    EXPECT_TRUE(log().contains("Transfer finished: 0 transferred")) << log().toStdString();
    // What arrived waits in the part file; it never takes the file's name.
    EXPECT_FALSE(fs::exists(localDir_ / "big.bin"));
    EXPECT_LT(fs::file_size(localDir_ / "big.bin.part"), uintmax_t(kSize));
    EXPECT_LT(log().count('\n') - linesBefore, 40) << "a log line per block of data:\n" << log().toStdString();
    ASSERT_TRUE(waitFor([&] { return session().canTransfer(); }));
    EXPECT_EQ(captions(w().FTPView), QStringList{"big.bin"}) << "the session goes on";

    select(w().lvLoc, {"up.bin"});
    focus(w().lvLoc);
    const qsizetype finished = log().count("Transfer finished: 0 transferred");
    w().action("actUpload")->trigger();
    ASSERT_NE(waitForProgress(1 << 20), nullptr);
    EXPECT_TRUE(w().action("actStop")->isEnabled());
    QTest::keyClick(w().lvLoc, Qt::Key_Escape);
    ASSERT_TRUE(waitFor([&] { return log().count("Transfer finished: 0 transferred") > finished; }))
        << log().toStdString();
    EXPECT_LT(fs::file_size(server_->dataDir() / "up.bin"), uintmax_t(kSize));
    EXPECT_FALSE(progress->isVisible());
    EXPECT_TRUE(waitFor([&] { return session().canTransfer(); })) << log().toStdString();
}

} // namespace
} // namespace brisk::test
