// The saved window layout: the design without one, Save Layout as its only writer, the sizes restored
// at the next start, kept across resizes and the remote panel's change of columns, and the directory
// tree beside the local list.
#include "platform/ini_file.h"
#include "ui/local_dir_tree.h"
#include "modal.h"
#include "qt_wait.h"
#include "screenshots.h"
#include "window_fixture.h"

#include <QComboBox>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>

using namespace brisk;
using brisk::test::onNextModal;
using brisk::test::waitFor;

namespace {

const char* const kKeys[] = {"LogHeight", "Local",   "Ftp",     "LocDirList", "LocFile", "LocSize",      "LocDate",
                             "LocTime",   "FtpFile", "FtpSize", "FtpDate",    "FtpTime", "FtpAttribute", "FtpLinks"};

class WindowLayoutTest : public test::WindowTest {
protected:
    std::string optionsFile() const { return home() + "options.ftp"; }
    QWidget* panel(const char* name) const { return window_->findChild<QWidget*>(name); }
    int local() const { return panel("Panel1")->width(); }
    int remote() const { return panel("Panel2")->width(); }
    int logHeight() const { return window_->logPane->height(); }
    static int column(const FileListView* view, int index) { return view->header()->sectionSize(index); }
    static QList<int> columns(const FileListView* view)
    {
        QList<int> widths;
        for (int i = 0; i < view->header()->count(); ++i)
            widths.push_back(column(view, i));
        return widths;
    }

    // Writes the section (and whatever else `rest` holds) and starts a new window on it.
    void reopenWith(const std::string& layouts, const std::string& rest = "")
    {
        writeFile(optionsFile(), rest + "[Layouts]\n" + layouts);
        open();
    }
    // The "Layouts" keys of the options file in the order they stand there.
    QStringList savedKeys() const
    {
        QStringList keys;
        bool inLayouts = false;
        std::ifstream in(optionsFile());
        for (std::string line; std::getline(in, line);) {
            if (line.starts_with("["))
                inLayouts = line == "[Layouts]";
            else if (inLayouts)
                keys.push_back(QString::fromStdString(line.substr(0, line.find('='))));
        }
        return keys;
    }
    int32_t saved(const char* key) const { return IniFile(optionsFile()).readInteger("Layouts", key, -1); }
    void quit()
    {
        onNextModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
        ASSERT_TRUE(window_->close());
    }
};

TEST_F(WindowLayoutTest, WithoutASectionTheDesignShowsAndSaveLayoutWritesItAll)
{
    writeFile(optionsFile(), "[Common]\nTimeOut=42\n[QuickConnect]\nAddress1=ftp.example.org\n");
    open();
    T_Main& w = *window_;
    EXPECT_LE(std::abs(local() - remote()), 1);
    EXPECT_TRUE(panel("Panel4")->isHidden());
    EXPECT_EQ(columns(w.lvLoc).mid(0, 3), (QList<int>{220, 90, 80}));
    EXPECT_FALSE(test::saveScreenshot(w, "layout_design").isEmpty());

    w.action("actSaveLayout")->trigger();
    QStringList expected;
    for (const char* key : kKeys)
        expected.push_back(key);
    EXPECT_EQ(savedKeys(), expected);
    const int32_t sizes[] = {logHeight(), local(), remote(), 0, column(w.lvLoc, 0), column(w.lvLoc, 1),
                             column(w.lvLoc, 2), column(w.lvLoc, 3), 220, 90, 80, 60, 90, 100};
    for (size_t i = 0; i < std::size(kKeys); ++i)
        EXPECT_EQ(saved(kKeys[i]), sizes[i]) << kKeys[i];
    const IniFile ini(optionsFile());
    EXPECT_EQ(ini.readString("Common", "TimeOut", ""), "42");
    EXPECT_EQ(ini.readString("QuickConnect", "Address1", ""), "ftp.example.org");
}

TEST_F(WindowLayoutTest, ASectionWithOnlyLogHeightChangesOnlyTheLogPane)
{
    const int designLog = logHeight();
    const int designLocal = local();
    const QList<int> designColumns = columns(window_->lvLoc);
    ASSERT_NE(designLog, 300);
    reopenWith("LogHeight=300\n");
    EXPECT_EQ(logHeight(), 300);
    EXPECT_EQ(local(), designLocal);
    EXPECT_EQ(columns(window_->lvLoc), designColumns);
    EXPECT_TRUE(panel("Panel4")->isHidden());
}

TEST_F(WindowLayoutTest, ResizingWithoutSavingThenClosingBringsBackTheSavedLayout)
{
    const int room = local() + remote();
    const std::string layout = "LogHeight=180\nLocal=" + std::to_string(room / 3) + "\nFtp=" +
                               std::to_string(room - room / 3) + "\nLocDirList=120\nLocFile=150\nLocSize=70\n";
    reopenWith(layout, "[Common]\nTimeOut=42\n");
    const std::string before = readFile(optionsFile());
    auto expectSaved = [&] {
        EXPECT_EQ(logHeight(), 180);
        EXPECT_EQ(local(), room / 3);
        EXPECT_EQ(panel("Panel4")->width(), 120);
        EXPECT_EQ(column(window_->lvLoc, 0), 150);
        EXPECT_EQ(column(window_->lvLoc, 1), 70);
    };
    expectSaved();

    auto* sides = static_cast<QSplitter*>(panel("Panel2")->parentWidget());
    sides->setSizes({room / 2, room / 2});
    window_->lvLoc->header()->resizeSection(0, 300);
    window_->action("actDirTree")->trigger();
    window_->resize(900, 600);
    quit();
    EXPECT_NE(readFile(optionsFile()), before) << "the options were saved on closing";
    EXPECT_EQ(saved("Local"), room / 3) << "but not the layout";
    EXPECT_EQ(saved("LocFile"), 150);

    open();
    expectSaved();
}

TEST_F(WindowLayoutTest, PanesKeepTheirProportionsWhenTheWindowIsResized)
{
    const int room = local() + remote();
    reopenWith("LogHeight=150\nLocal=" + std::to_string(room / 4) + "\nFtp=" + std::to_string(room - room / 4) + "\n");
    const double logShare = double(logHeight()) / (logHeight() + panel("Panel2")->height());
    for (const QSize size : {QSize(1500, 950), QSize(900, 650)}) {
        window_->resize(size);
        ASSERT_TRUE(waitFor([&] { return window_->size() == size; }));
        EXPECT_NEAR(double(local()) / (local() + remote()), 0.25, 0.01) << size.width();
        EXPECT_NEAR(double(logHeight()) / (logHeight() + panel("Panel2")->height()), logShare, 0.01) << size.width();
    }
}

TEST_F(WindowLayoutTest, SizesThatDoNotFitLeaveEveryPaneVisible)
{
    reopenWith("LogHeight=100000\nLocal=0\nFtp=70000\nLocDirList=90000\nLocFile=0\nFtpFile=-40\n");
    T_Main& w = *window_;
    EXPECT_GE(panel("Panel2")->height(), 50);
    EXPECT_GE(logHeight(), 50);
    EXPECT_GE(local(), 200);
    EXPECT_GE(remote(), 200);
    EXPECT_GE(panel("Panel4")->width(), 80);
    EXPECT_GE(w.lvLoc->width(), 80);
    EXPECT_EQ(column(w.lvLoc, 0), w.lvLoc->header()->minimumSectionSize());
    w.action("actSaveLayout")->trigger();
    EXPECT_EQ(saved("FtpFile"), w.FTPView->header()->minimumSectionSize());
    EXPECT_FALSE(test::saveScreenshot(w, "layout_clamped").isEmpty());
}

TEST_F(WindowLayoutTest, TheRemoteColumnsSurviveTheSwitchToAndFromTheSiteList)
{
    if (!startVsftpd())
        GTEST_SKIP() << skipReason_;
    server_->writeDataFile("a.txt", "a");
    reopenWith("FtpFile=150\nFtpSize=75\nFtpDate=95\nFtpTime=55\nFtpAttribute=110\n");
    connect({"a.txt"});
    T_Main& w = *window_;
    EXPECT_EQ(columns(w.FTPView).mid(0, 5), (QList<int>{150, 75, 95, 55, 110}));

    w.FTPView->header()->resizeSection(1, 140);
    w.FTPPath->setCurrentIndex(0);
    emit w.FTPPath->activated(0);
    ASSERT_TRUE(waitFor([&] { return session().SiteListMode(); }));
    EXPECT_EQ(w.FTPView->header()->count(), 2);
    const uint64_t shown = session().listingsShown();
    select(w.FTPView, {"Local vsftpd"});
    emit w.FTPView->activated(w.FTPView->currentIndex());
    ASSERT_TRUE(waitFor([&] {
        return session().listingsShown() > shown && captions(w.FTPView) == QStringList{"a.txt"};
    }));
    EXPECT_EQ(columns(w.FTPView).mid(0, 5), (QList<int>{150, 140, 95, 55, 110}));

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
    EXPECT_EQ(w.program().local.currentDir(), userHome_ + "/docs");
    EXPECT_EQ(captions(w.lvLoc), QStringList{"inner"});
    EXPECT_FALSE(test::saveScreenshot(w, "main_directory_tree").isEmpty());

    w.program().local.upOneLevel();
    w.refreshViews();
    EXPECT_EQ(files->filePath(tree->currentIndex()).toStdString(), userHome_) << "the tree follows the list";

    w.action("actSaveLayout")->trigger();
    EXPECT_EQ(saved("LocDirList"), tree->width());
    const int width = tree->width();
    open();
    EXPECT_TRUE(panel("Panel4")->isVisible());
    EXPECT_EQ(panel("Panel4")->width(), width);
    EXPECT_TRUE(window_->action("actDirTree")->isChecked());
}

} // namespace
