// The transfer queue in the main window against a real vsftpd: the session browses while the queue
// downloads on connections of its own, a stopped item is retried from the Failed tab, and a queue
// saved by the last session is offered at start and resumed from its part file.
#include "session/transfer_queue_file.h"
#include "ui/queue_pane_widget.h"
#include "byte_pattern.h"
#include "file_tree.h"
#include "window_fixture.h"

#include <QTableView>

#include <regex>

namespace brisk::test {
namespace {

namespace fs = std::filesystem;

class QueueWindowTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        NEED_VSFTPD();
        localDir_ = fs::path(home()) / "local";
        fs::create_directories(localDir_);
    }

    MainProgram& program() { return w().program(); }
    QueuePaneWidget& pane() { return *w().queuePane; }
    std::string local(const char* name) const { return (localDir_ / name).string(); }
    bool waitForQueueIdle()
    {
        return waitFor([&] { return program().queueRunner.running() == 0 && program().queue.counts().queued == 0; },
                       30000);
    }

    fs::path localDir_;
};

TEST_F(QueueWindowTest, TheSessionBrowsesWhileTheQueueDownloadsAndAStoppedItemIsRetried)
{
    constexpr size_t kSize = 3 << 20;
    const std::string a = bytePattern(kSize, 3), b = bytePattern(kSize, 5);
    server_->writeDataFile("tree/a.bin", a);
    server_->writeDataFile("tree/b.bin", b);
    server_->writeDataFile("other/x.txt", "x");
    server_->setUserRateLimit(1 << 20);
    WindowTest::showLocal(localDir_.string());
    connect({"other", "tree"});
    EXPECT_TRUE(waitFor([&] { return !w().action("actStop")->isEnabled(); })) << "nothing to stop in an idle session";

    select(w().FTPView, {"tree"});
    w().action("actDownload")->trigger();
    ASSERT_TRUE(waitFor([&] { return program().queueRunner.running() == 2 && session().canTransfer(); }))
        << log().toStdString();
    EXPECT_TRUE(waitFor([&] { return w().action("actStop")->isEnabled(); })) << "the queue's files can be stopped";
    EXPECT_TRUE(log().contains("2 files queued for transfer")) << log().toStdString();

    // The session's connection is free: another directory is entered and listed meanwhile.
    activate(w().FTPView, "other");
    ASSERT_TRUE(waitFor([&] { return captions(w().FTPView).contains("x.txt"); })) << log().toStdString();
    ASSERT_EQ(program().queueRunner.running(), 2u) << "the queue ended before the listing";
    ASSERT_TRUE(waitFor([&] { return program().queue.totals().moved > 0; }));
    w().refreshViews();
    QTest::qWait(QueuePaneWidget::kRepaintMs * 2);
    EXPECT_FALSE(saveScreenshot(w(), "queue_pane_running").isEmpty());

    // Stop: both items fail as stopped and keep their part files; a retry resumes them.
    w().action("actStop")->trigger();
    ASSERT_TRUE(waitFor([&] { return program().queue.counts().failed == 2; })) << log().toStdString();
    EXPECT_TRUE(fs::exists(local("tree/a.bin.part")) && !fs::exists(local("tree/a.bin")));
    QTabWidget* tabs = pane().findChild<QTabWidget*>("pcQueue");
    tabs->setCurrentIndex(int(QueueView::Failed));
    QTableView* failed = pane().table(QueueView::Failed);
    QTest::qWait(QueuePaneWidget::kRepaintMs * 2);
    EXPECT_EQ(tabs->tabText(int(QueueView::Failed)), "Failed (2)");
    EXPECT_EQ(failed->model()->index(0, int(QueueColumn::Reason)).data().toString(), "stopped by the user");
    EXPECT_FALSE(saveScreenshot(w(), "queue_pane_failed").isEmpty());
    failed->selectAll();
    pane().run(QueueCommand::RetryFailed);
    ASSERT_TRUE(waitForQueueIdle()) << log().toStdString();

    EXPECT_EQ(readFile(local("tree/a.bin")), a);
    EXPECT_EQ(readFile(local("tree/b.bin")), b);
    EXPECT_FALSE(fs::exists(local("tree/a.bin.part")) || fs::exists(local("tree/b.bin.part")));
    EXPECT_TRUE(std::regex_search(log().toStdString(), std::regex(R"(\[\d+\] > REST [1-9]\d*)"))) << log().toStdString();
    EXPECT_EQ(program().queue.counts().done, 2u);
    EXPECT_TRUE(log().contains("Transfer finished: 2 transferred, 0 skipped, 0 failed")) << log().toStdString();
    EXPECT_FALSE(log().contains(kFtpPassword)) << "a transfer connection logged the password";
    EXPECT_TRUE(waitFor([&] { return !w().action("actStop")->isEnabled(); })) << "the queue is idle";
}

// A queue left by the last session: the user keeps it, the site opens, and the item resumes from
// the part file that session left.
TEST_F(QueueWindowTest, ASavedQueueIsOfferedAtStartAndResumesWhenItsSiteOpens)
{
    const std::string big = bytePattern(400000, 9);
    server_->writeDataFile("big.bin", big);
    writeFile(local("big.bin.part"), big.substr(0, 100000));
    window_.reset();
    TransferQueue saved;
    const uint64_t id = saved.add({TransferDirection::Download, local("big.bin"), "/big.bin", int64_t(big.size()),
                                   StoredSite("Local vsftpd")});
    ASSERT_TRUE(saved.takeNext());   // it was under way when the program ended
    ASSERT_TRUE(saved.reportProgress(id, 100000));
    ASSERT_TRUE(SaveQueue(saved));

    std::string asked;
    onNextModal<QMessageBox>([&asked](QMessageBox* box) {
        asked = box->text().toStdString();
        box->button(QMessageBox::Yes)->click();
    });
    open();
    ASSERT_TRUE(waitFor([&] { return !asked.empty(); }));
    EXPECT_EQ(asked, "The transfer queue holds 1 unfinished transfers from the last session. Keep them to resume?");
    EXPECT_EQ(program().queue.counts().queued, 1u);
    WindowTest::showLocal(localDir_.string());

    connect({"big.bin"});
    ASSERT_TRUE(waitForQueueIdle()) << log().toStdString();
    EXPECT_EQ(readFile(local("big.bin")), big);
    EXPECT_TRUE(log().contains("> REST 100000")) << log().toStdString();
    EXPECT_EQ(program().queue.counts().done, 1u);
}

} // namespace
} // namespace brisk::test
