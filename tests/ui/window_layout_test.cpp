// The saved window layout as the window applies it; which keys are stored, in what order, is tested in
// tests/unit/options_store_test.cpp.
#include "platform/ini_file.h"
#include "ui/local_dir_tree.h"
#include "window_fixture.h"

#include <QFileSystemModel>
#include <QHeaderView>
#include <QSplitter>

namespace brisk::test {
namespace {

class WindowLayoutTest : public WindowTest {
protected:
    std::string optionsFile() const { return home() + "options.ftp"; }
    QWidget* panel(const char* name) const { return window_->findChild<QWidget*>(name); }
    int local() const { return panel("Panel1")->width(); }
    int remote() const { return panel("Panel2")->width(); }
    int logHeight() const { return window_->logPane->height(); }
    static int column(const FileListView* view, int index) { return view->header()->sectionSize(index); }
    static QList<int> columns(const FileListView* view, int count)
    {
        QList<int> widths;
        for (int i = 0; i < count; ++i)
            widths.push_back(column(view, i));
        return widths;
    }
    // Writes the section and starts a new window on it.
    void reopenWith(const std::string& layouts)
    {
        writeFile(optionsFile(), "[Layouts]\n" + layouts);
        open();
    }
    int32_t saved(const char* key) const { return IniFile(optionsFile()).readInteger("Layouts", key, -1); }
};

TEST_F(WindowLayoutTest, WithoutASectionTheDesignShowsAndSaveLayoutWritesTheWidgetsSizes)
{
    T_Main& w = *window_;
    EXPECT_LE(std::abs(local() - remote()), 1);
    EXPECT_TRUE(panel("Panel4")->isHidden());
    EXPECT_EQ(column(w.lvLoc, 0), 220);
    // Size: the design's 90 or what 13 grouped digits need (WindowCommandsTest shows them uncut).
    EXPECT_GE(column(w.lvLoc, 1), 90);
    EXPECT_EQ(column(w.lvLoc, 2), 80);
    EXPECT_FALSE(saveScreenshot(w, "layout_design").isEmpty());

    w.action("actSaveLayout")->trigger();
    const std::pair<const char*, int> sizes[] = {{"LogHeight", logHeight()},  {"Local", local()},
                                                 {"Ftp", remote()},           {"LocDirList", 0},
                                                 {"LocTime", column(w.lvLoc, 3)}, {"FtpFile", 220},
                                                 {"FtpLinks", 100}};
    for (const auto& [key, size] : sizes)
        EXPECT_EQ(saved(key), size) << key;
}

// The saved sizes come back at the start; the panes keep their proportions as the window is resized;
// moving them without saving and closing leaves the saved layout, which comes back at the next start.
TEST_F(WindowLayoutTest, ResizingKeepsTheProportionsAndOnlySaveLayoutChangesWhatComesBack)
{
    const int room = local() + remote();
    reopenWith("LogHeight=180\nLocal=" + std::to_string(room / 3) + "\nFtp=" + std::to_string(room - room / 3) +
               "\nLocDirList=120\nLocFile=150\nLocSize=70\n");
    const auto expectSaved = [&] {
        EXPECT_EQ(logHeight(), 180);
        EXPECT_EQ(local(), room / 3);
        EXPECT_EQ(panel("Panel4")->width(), 120);
        EXPECT_EQ(columns(window_->lvLoc, 2), (QList<int>{150, 70}));
    };
    expectSaved();
    const double logShare = double(logHeight()) / (logHeight() + panel("Panel2")->height());
    for (const QSize size : {QSize(1500, 950), QSize(900, 650)}) {
        window_->resize(size);
        ASSERT_TRUE(waitFor([&] { return window_->size() == size; }));
        EXPECT_NEAR(double(local()) / (local() + remote()), 1.0 / 3, 0.01) << size.width();
        EXPECT_NEAR(double(logHeight()) / (logHeight() + panel("Panel2")->height()), logShare, 0.01) << size.width();
    }

    static_cast<QSplitter*>(panel("Panel2")->parentWidget())->setSizes({room / 2, room / 2});
    window_->lvLoc->header()->resizeSection(0, 300);
    window_->action("actDirTree")->trigger();
    quit();
    EXPECT_EQ(saved("Local"), room / 3) << "closing left the saved layout alone";
    EXPECT_EQ(saved("LocFile"), 150);
    open();
    expectSaved();
}

TEST_F(WindowLayoutTest, SizesThatDoNotFitLeaveEveryPaneVisible)
{
    reopenWith("LogHeight=100000\nLocal=0\nFtp=70000\nLocDirList=90000\nLocFile=0\n");
    EXPECT_GE(std::min(panel("Panel2")->height(), logHeight()), 50);
    EXPECT_GE(std::min(local(), remote()), 200);
    EXPECT_GE(std::min(panel("Panel4")->width(), window_->lvLoc->width()), 80);
    EXPECT_EQ(column(window_->lvLoc, 0), window_->lvLoc->header()->minimumSectionSize());
    EXPECT_FALSE(saveScreenshot(*window_, "layout_clamped").isEmpty());
}

TEST_F(WindowLayoutTest, TheRemoteColumnsSurviveTheSwitchToAndFromTheSiteList)
{
    NEED_VSFTPD();
    server_->writeDataFile("a.txt", "a");
    reopenWith("FtpFile=150\nFtpSize=75\nFtpDate=95\nFtpTime=55\nFtpAttribute=110\n");
    connect({"a.txt"});
    T_Main& w = *window_;
    EXPECT_EQ(columns(w.FTPView, 5), (QList<int>{150, 75, 95, 55, 110}));

    w.FTPView->header()->resizeSection(1, 140);
    w.FTPPath->setCurrentIndex(0);
    emit w.FTPPath->activated(0);
    ASSERT_TRUE(waitFor([&] { return session().SiteListMode(); }));
    EXPECT_EQ(w.FTPView->header()->count(), 2);
    activate(w.FTPView, "Local vsftpd");
    waitForRows({"a.txt"});
    EXPECT_EQ(columns(w.FTPView, 5), (QList<int>{150, 140, 95, 55, 110}));
    quit();
    EXPECT_EQ(saved("FtpSize"), 75) << "closing kept the saved layout";
}

TEST_F(WindowLayoutTest, TheDirectoryTreeShowsTheLocalDirectoryAndChangesIt)
{
    std::filesystem::create_directories(userHome_ + "/docs/inner");
    open();
    T_Main& w = *window_;
    w.action("actDirTree")->trigger();
    auto* tree = static_cast<LocalDirTree*>(panel("Panel4"));
    ASSERT_TRUE(tree->isVisible());
    auto* files = static_cast<QFileSystemModel*>(tree->model());
    EXPECT_EQ(files->filePath(tree->currentIndex()).toStdString(), userHome_);
    // The model fills the tree level by level from its own thread; the tree opens down to the item.
    EXPECT_TRUE(waitFor([&] { return tree->viewport()->rect().contains(tree->visualRect(tree->currentIndex())); }));

    tree->setCurrentIndex(files->index(QString::fromStdString(userHome_ + "/docs")));
    ASSERT_TRUE(waitFor([&] { return w.localPath->currentText() == "docs"; }));
    EXPECT_EQ(captions(w.lvLoc), QStringList{"inner"});
    EXPECT_FALSE(saveScreenshot(w, "main_directory_tree").isEmpty());
    w.program().local.upOneLevel();
    w.refreshViews();
    EXPECT_EQ(files->filePath(tree->currentIndex()).toStdString(), userHome_) << "the tree follows the list";

    w.action("actSaveLayout")->trigger();
    const int width = tree->width();
    EXPECT_EQ(saved("LocDirList"), width);
    open();
    EXPECT_TRUE(panel("Panel4")->isVisible());
    EXPECT_EQ(panel("Panel4")->width(), width);
    EXPECT_TRUE(window_->action("actDirTree")->isChecked());
}

} // namespace
} // namespace brisk::test
