// The main window's commands that open a dialog or act on the panels, mostly against a real vsftpd:
// each checks that the window reaches its model and shows the answer; the models' rules are unit tests.
#include "config/options_store.h"
#include "ui/attributes_dialog.h"
#include "ui/carriage_return_dialog.h"
#include "ui/file_list_model.h"
#include "ui/mirror_dialog.h"
#include "ui/options_dialog.h"
#include "ui/queue_pane_widget.h"
#include "file_io.h"
#include "loopback_port.h"
#include "window_fixture.h"

#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QListWidget>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QTreeWidget>

#include <ctime>

namespace brisk::test {
namespace {

namespace fs = std::filesystem;

void click(QWidget* dialog, const char* name) { child<QPushButton>(dialog, name)->click(); }

class WindowCommandsTest : public WindowTest {
protected:
    // The entry is in each of these menus (by default both panels' and the menu bar's Local and Remote).
    void expectInMenus(const QString& text, const QStringList& menus = {"pmLocal", "pmRemote", "&Local", "&Remote"})
    {
        for (const QString& name : menus)
            EXPECT_NE(entry(menu(name), text), nullptr) << name.toStdString();
    }
};

TEST_F(WindowCommandsTest, FileAttributesFromTheMenuChangesTheModesOnDisk)
{
    NEED_VSFTPD();
    const fs::path data = server_->dataDir();
    server_->writeDataFile("a.txt", "a");
    server_->writeDataFile("run.sh", "r");
    fs::permissions(data / "a.txt", fs::perms(0644));
    fs::permissions(data / "run.sh", fs::perms(0755));
    connect({"a.txt", "run.sh"});
    expectInMenus("File Attributes", {"&Remote", "pmRemote"});
    QAction* attributes = w().action("actFileAttributes");
    w().refreshViews();
    EXPECT_FALSE(attributes->isEnabled()) << "offered without a selection";

    select(w().FTPView, {"a.txt", "run.sh"});
    w().refreshViews();
    ASSERT_TRUE(attributes->isEnabled());
    // The boxes and the edit follow each other (their rules: tests/unit/attribute_form_test.cpp); a mixed
    // box, once clicked, goes between checked and unchecked only; Escape sends nothing.
    onNextModal<T_ChMod>([](T_ChMod* d) {
        QList<Qt::CheckState> states;
        for (int click = 0; click < 3; ++click) {
            d->box(2)->click();
            states.push_back(d->box(2)->checkState());
        }
        EXPECT_EQ(states, (QList<Qt::CheckState>{Qt::Checked, Qt::Unchecked, Qt::Checked}));
        EXPECT_EQ(d->modeEdit()->text(), "744");
        EXPECT_FALSE(saveScreenshot(*d, "attributes_dialog_clicked").isEmpty());
        d->modeEdit()->selectAll();
        QTest::keyClicks(d->modeEdit(), "640");
        EXPECT_EQ(d->findChild<QLabel*>("lbSymbolic")->text() + "|" + QString::number(d->box(2)->checkState()), "rw-r-----|0");
        QTest::keyClick(d, Qt::Key_Escape);
    });
    attributes->trigger();
    QString opened;
    onNextModal<T_ChMod>([&](T_ChMod* d) {
        const auto shown = [d] { return d->modeEdit()->text() + "|" + d->findChild<QLabel*>("lbSymbolic")->text(); };
        opened = d->windowTitle() + "|" + shown();
        d->box(4)->click();   // group write, for both
        EXPECT_EQ(shown(), "664|rw?rw?r-?");
        EXPECT_FALSE(saveScreenshot(*d, "attributes_dialog").isEmpty());
        click(d, "btApply");
    });
    attributes->trigger();
    EXPECT_EQ(opened, "Change File Attributes|644|rw?r-?r-?");
    ASSERT_TRUE(waitFor([&] { return log().contains("Attributes changed: 2, failed: 0") && session().canTransfer(); }))
        << log().toStdString();
    EXPECT_EQ(log().count("Attributes changed"), 1) << log().toStdString();
    EXPECT_EQ(modeOf(data / "a.txt"), 0664u);
    EXPECT_EQ(modeOf(data / "run.sh"), 0775u);
}

// Carriage Return converts the selected files; its log lines are the command's unit tests.
TEST_F(WindowCommandsTest, CarriageReturnConvertsTheSelectedFiles)
{
    const std::string dir = home() + "texts";
    for (const char* name : {"a.txt", "b.txt"})
        writeFile(dir + "/" + name, "one\r\ntwo\r\n");
    fs::create_directories(dir + "/sub");
    showLocal(dir);
    QAction* convert = entry(menu("&Local"), "Carriage Return");
    ASSERT_NE(convert, nullptr);
    EXPECT_TRUE(menu("pmLocal")->actions().contains(convert));
    select(w().lvLoc, {"sub"});
    w().refreshViews();
    EXPECT_FALSE(convert->isEnabled()) << "offered for a directory alone";

    select(w().lvLoc, {"a.txt", "b.txt"});
    w().refreshViews();
    ASSERT_TRUE(convert->isEnabled());
    const auto chooseLf = [&](const char* button) {
        onNextModal<T_Carrage>([button](T_Carrage* dialog) {
            if (button == std::string("btCancel")) {
                EXPECT_TRUE(dialog->button(LineEnding::Unchanged)->isChecked());
                EXPECT_FALSE(saveScreenshot(*dialog, "carriage_return_dialog").isEmpty());
            }
            dialog->findChild<QRadioButton*>("rbLf")->click();
            click(dialog, button);
        });
        convert->trigger();
    };
    chooseLf("btCancel");
    EXPECT_EQ(readFile(dir + "/a.txt"), "one\r\ntwo\r\n");
    EXPECT_FALSE(log().contains("Converting file"));
    chooseLf("btApply");
    EXPECT_TRUE(waitFor([&] { return readFile(dir + "/b.txt") == "one\ntwo\n"; })) << log().toStdString();
    EXPECT_EQ(readFile(dir + "/a.txt"), "one\ntwo\n");
}

QStringList selectedNames(const FileListView* view)
{
    QStringList names;
    for (const QModelIndex& index : view->selectionModel()->selectedRows())
        names.push_back(index.data().toString());
    names.sort();
    return names;
}

TEST_F(WindowCommandsTest, CompareDirectoriesSelectsWhatDiffersOnBothSides)
{
    NEED_VSFTPD();
    const std::time_t when = (std::time(nullptr) - 2 * 24 * 3600) / 60 * 60;
    const fs::path local = home() + "local";
    const fs::path remote = server_->dataDir();
    for (const char* name : {"same.txt", "size.txt", "time.txt", "local.txt"})
        writeFile((local / name).string(), name);
    for (const char* name : {"same.txt", "time.txt", "remote.txt"})
        server_->writeDataFile(name, name);
    server_->writeDataFile("size.txt", "longer");
    for (const fs::path& dir : {local, remote})
        for (const fs::directory_entry& file : fs::directory_iterator(dir))
            setModifiedTime(file.path(), when);
    setModifiedTime(remote / "time.txt", when + 300);

    QAction* compare = w().action("actCompareDirs");
    expectInMenus("Compare Directories");
    EXPECT_FALSE(compare->isEnabled()) << "offered without a session";
    showLocal(local.string());
    connect({"remote.txt", "same.txt", "size.txt", "time.txt"});
    // vsftpd lists times in UTC; the local panel shows local time.
    std::tm parts {};
    localtime_r(&when, &parts);
    w().program().settings.options.TimeZone = int16_t(session().CurrentSite().TimeZone + parts.tm_gmtoff / 3600);
    select(w().lvLoc, {"same.txt"});
    ASSERT_TRUE(compare->isEnabled());
    compare->trigger();

    EXPECT_EQ(selectedNames(w().lvLoc), (QStringList{"local.txt", "size.txt", "time.txt"}));
    EXPECT_EQ(selectedNames(w().FTPView), (QStringList{"remote.txt", "size.txt", "time.txt"}));
    EXPECT_TRUE(w().localInfo->text().endsWith("in 3 file(s)")) << w().localInfo->text().toStdString();
    EXPECT_TRUE(w().remoteInfo->text().endsWith("in 3 file(s)")) << w().remoteInfo->text().toStdString();
    EXPECT_FALSE(saveScreenshot(w(), "compare_directories").isEmpty());
}

TEST_F(WindowCommandsTest, PreferencesEditsTheOptionsAndAppliesThem)
{
    const auto silver = [](QWidget* box) { return box->palette().color(QPalette::Base) == QColor(192, 192, 192); };
    QStringList pages;
    onNextModal<T_Options>([&](T_Options* d) {
        auto* tree = child<QTreeWidget>(d, "tvOptions");
        auto* stack = child<QStackedWidget>(d, "pcOptions");
        for (QTreeWidgetItemIterator node(tree); *node; ++node) {
            tree->setCurrentItem(*node);
            pages << stack->currentWidget()->objectName();
            EXPECT_FALSE(saveScreenshot(*d, QString("options_page%1").arg(stack->currentIndex())).isEmpty());
        }
        d->showPage(4);
        QStringList socks;
        for (const char* name : {"rbSocks4", "rbSocks4A", "rbSocks5"})
            socks << child<QRadioButton>(d, name)->text();
        EXPECT_EQ(socks.join("|"), "SOCKS 4|SOCKS 4A|SOCKS 5");
        child<QTabWidget>(d, "pcProxy")->setCurrentIndex(1);
        EXPECT_FALSE(saveScreenshot(*d, "options_page4_firewall").isEmpty());
        auto* address = child<QLineEdit>(d, "edAnonymous");
        EXPECT_TRUE(!address->isEnabled() && silver(address));
        child<QCheckBox>(d, "cbAno")->setChecked(true);
        EXPECT_TRUE(address->isEnabled() && !silver(address));
        child<QSpinBox>(d, "seTimeOut")->setValue(42);
        child<QSpinBox>(d, "seTransfers")->setValue(11);   // held at the most
        child<QSpinBox>(d, "seDownLimit")->setValue(300);
        answerInput("md");
        click(d, "btExtModify");
        EXPECT_EQ(child<QListWidget>(d, "lbExt")->count(), 1);
        click(d, "btOK");
    });
    w().action("actPreferences")->trigger();

    EXPECT_EQ(pages, QStringList({"tsPage0", "tsPage1", "tsPage2", "tsPage3", "tsPage4", "tsPage5", "tsPage6"}));
    TFTPOptions saved;
    TLang lang;
    ListFonts fonts;
    LoadOptions(saved, lang, fonts);
    EXPECT_EQ(std::tuple(saved.TimeOut, saved.Ext, saved.MailAno, saved.Transfers, saved.DownLimit, saved.UpLimit),
              std::tuple(42, std::string("md"), true, 10, 300, 0));
    EXPECT_EQ(session().Ftp1.Timeout, 42) << "applied to the session";
    ASSERT_TRUE(session().Ftp1.DownloadRate && !session().Ftp1.UploadRate) << "the download limit applied";
}

// The right-click menus of both panels and of the site list: the entries for the clicked rows,
// Copy Path onto the clipboard and Properties in a box.
class ContextMenuTest : public WindowCommandsTest {
protected:
    // Right-clicks the row: the menu that opened, or null.
    QMenu* rightClick(FileListView* view, const QString& caption)
    {
        select(view, {caption});
        emit view->customContextMenuRequested(view->visualRect(view->currentIndex()).center());
        QMenu* open = nullptr;
        waitFor([&] {
            for (QMenu* candidate : w().findChildren<QMenu*>())
                if (candidate->isVisible() && candidate->objectName().startsWith("pm"))
                    open = candidate;
            return open != nullptr;
        }, 5000);
        return open;
    }
    // The menu's name and those of `wanted` entries it does not offer enabled; saved as `shot`.
    QStringList missing(FileListView* view, const QString& caption, QStringList wanted, const QString& shot)
    {
        QMenu* open = rightClick(view, caption);
        if (!open)
            return {"no menu"};
        for (QAction* action : open->actions())
            if (action->isEnabled())
                wanted.removeAll(action->text());
        EXPECT_FALSE(saveScreenshot(*open, shot).isEmpty());
        open->close();
        return QStringList{open->objectName()} + wanted;
    }
    // Right-clicks the row and triggers the entry, as a click on it does once the menu has closed.
    void choose(FileListView* view, const QString& caption, const QString& text)
    {
        QMenu* open = rightClick(view, caption);
        ASSERT_NE(open, nullptr);
        open->close();
        QAction* action = entry(open, text);
        ASSERT_NE(action, nullptr) << text.toStdString();
        action->trigger();
    }
    QString copiedPath(FileListView* view, const QString& caption)
    {
        choose(view, caption, "Copy Path");
        return QGuiApplication::clipboard()->text();
    }
    QString properties(FileListView* view, const QString& caption)
    {
        QString text;
        onNextModal<QMessageBox>([&text](QMessageBox* box) {
            text = box->text();
            box->accept();
        });
        choose(view, caption, "Properties");
        return text;
    }
};

TEST_F(ContextMenuTest, LocalRemoteAndSiteMenusActOnTheClickedRows)
{
    NEED_VSFTPD();
    server_->writeDataFile("top.txt", "top");
    const std::string localDir = home() + "local";
    writeFile(localDir + "/a.txt", "12345");
    showLocal(localDir);
    EXPECT_EQ(missing(w().lvLoc, "a.txt", {"Make directory", "Rename", "Delete", "Copy Path", "Properties", "Refresh"},
                      "context_menu_local"),
              QStringList{"pmLocal"});
    EXPECT_EQ(copiedPath(w().lvLoc, "a.txt"), QString::fromStdString(localDir + "/a.txt"));
    EXPECT_TRUE(properties(w().lvLoc, "a.txt").contains("Size: 5 bytes"));

    createSite();
    EXPECT_EQ(missing(w().FTPView, "Local vsftpd",
                      {"Connect to FTP - Server", "Server Properties", "Copy Path", "Delete Server/Dir/File"},
                      "context_menu_sites"),
              QStringList{"pmSites"});
    EXPECT_EQ(copiedPath(w().FTPView, "Local vsftpd"), QString("ftp://%1@127.0.0.1:%2").arg(kFtpUser).arg(server_->port()));

    activate(w().FTPView, "Local vsftpd");
    waitForRows({"top.txt"});
    EXPECT_EQ(missing(w().FTPView, "top.txt",
                      {"Download", "Make directory", "Rename", "Delete Server/Dir/File", "Copy Path", "Properties",
                       "Refresh"},
                      "context_menu_remote"),
              QStringList{"pmRemote"});
    EXPECT_EQ(copiedPath(w().FTPView, "top.txt"), "/top.txt");
    const QString details = properties(w().FTPView, "top.txt");
    EXPECT_TRUE(details.contains("Size: 3 bytes") && details.contains("Attributes: -rw")) << details.toStdString();
}

// Which way a header's sort arrow points, read from its pixels at the right end of the sorted
// section: an arrow's widest row is its base.
enum class Arrow { None, Up, Down };
Arrow sortArrow(const QHeaderView* header)
{
    const QImage image = const_cast<QHeaderView*>(header)->grab().toImage();
    const int section = header->sortIndicatorSection();
    const int right = header->sectionViewportPosition(section) + header->sectionSize(section);
    int firstWidth = 0, lastWidth = 0;
    for (int y = 0; y < image.height(); ++y) {
        int width = 0;
        for (int x = std::max(0, right - 25); x < right - 2; ++x)
            width += qGray(image.pixel(x, y)) < 128;
        if (width > 0 && firstWidth == 0)
            firstWidth = width;
        if (width > 0)
            lastWidth = width;
    }
    return firstWidth == lastWidth ? Arrow::None : firstWidth < lastWidth ? Arrow::Up : Arrow::Down;
}

// Both panels: the arrow points up while the values grow down the list (Qt::AscendingOrder), down
// otherwise; the first click on Size puts the smallest first, the second the largest.
TEST_F(WindowCommandsTest, TheSortArrowPointsUpForAscendingInBothPanels)
{
    NEED_VSFTPD();
    for (const fs::path& dir : {fs::path(home()) / "sorted", server_->dataDir()}) {
        fs::create_directories(dir);
        writeFile((dir / "a.bin").string(), "aaa");
        writeFile((dir / "b.bin").string(), "b");
    }
    showLocal(home() + "sorted");
    connect({"a.bin", "b.bin"});
    const struct {
        int click;   // the column clicked before, -1: none
        QStringList rows;
        Qt::SortOrder order;
        Arrow arrow;
    } steps[] = {
        {-1, {"a.bin", "b.bin"}, Qt::AscendingOrder, Arrow::Up},
        {0, {"b.bin", "a.bin"}, Qt::DescendingOrder, Arrow::Down},
        {1, {"b.bin", "a.bin"}, Qt::AscendingOrder, Arrow::Up},     // smallest first
        {1, {"a.bin", "b.bin"}, Qt::DescendingOrder, Arrow::Down},  // largest first
    };
    for (FileListView* view : {w().lvLoc, w().FTPView}) {
        for (const auto& step : steps) {
            SCOPED_TRACE(view->objectName().toStdString() + " after a click on " + std::to_string(step.click));
            if (step.click >= 0)
                emit view->header()->sectionClicked(step.click);
            w().refreshViews();
            EXPECT_EQ(captions(view), step.rows);
            EXPECT_EQ(view->header()->sortIndicatorOrder(), step.order);
            EXPECT_EQ(view->header()->sortIndicatorSection(), std::max(step.click, 0));
            EXPECT_EQ(sortArrow(view->header()), step.arrow);
        }
    }
    EXPECT_FALSE(saveScreenshot(w(), "main_sorted_by_size").isEmpty());
}

// The largest sizes show uncut at the default font: 13 digits with their groups in both panels,
// the widest KiB ... EiB text in the queue pane. The files are sparse.
TEST_F(WindowCommandsTest, TheSizeColumnsShowTheLargestSizesUncut)
{
    NEED_VSFTPD();
    constexpr uintmax_t kGiB = 1073741824, kTiB = 1099511627776;
    for (const fs::path& dir : {fs::path(home()) / "sizes", server_->dataDir()}) {
        fs::create_directories(dir);
        writeFile((dir / "gig.bin").string(), "");
        fs::resize_file(dir / "gig.bin", kGiB);
        writeFile((dir / "tera.bin").string(), "");
        fs::resize_file(dir / "tera.bin", kTiB);
    }
    showLocal(home() + "sizes");
    connect({"gig.bin", "tera.bin"});
    for (FileListView* view : {w().lvLoc, w().FTPView}) {
        const QAbstractItemModel* rows = view->model();
        EXPECT_EQ(rows->index(int(captions(view).indexOf("gig.bin")), 1).data().toString(), "1 073 741 824");
        EXPECT_EQ(rows->index(int(captions(view).indexOf("tera.bin")), 1).data().toString(), "1 099 511 627 776");
        // What the view's delegate needs for the column's texts, margins included.
        const QAbstractItemView* cells = view;
        EXPECT_GE(view->header()->sectionSize(1), cells->sizeHintForColumn(1)) << view->objectName().toStdString();
    }
    w().program().queue.add({TransferDirection::Download, home() + "sizes/q.bin", "/q.bin", 1073112064,
                         StoredSite("elsewhere")});
    QTableView* queued = w().queuePane->table(QueueView::Queued);
    ASSERT_TRUE(waitFor([&] { return queued->model()->rowCount() == 1; }));
    EXPECT_EQ(queued->model()->index(0, int(QueueColumn::Size)).data().toString(), "1023.4 MiB");
    const QAbstractItemView* cells = queued;
    EXPECT_GE(queued->horizontalHeader()->sectionSize(int(QueueColumn::Size)),
              cells->sizeHintForColumn(int(QueueColumn::Size)));
    EXPECT_FALSE(saveScreenshot(w(), "main_size_columns").isEmpty());
}

TEST_F(WindowCommandsTest, EachSizeDisplayShowsInBothPanelsAndTheLastOneSurvivesARestart)
{
    writeFile(home() + "sizes/big.bin", std::string(1234567, 'x'));
    // The size cell's text and tip and the remote panel's display.
    const auto shown = [this] {
        showLocal(home() + "sizes");
        const QModelIndex cell = w().lvLoc->model()->index(int(captions(w().lvLoc).indexOf("big.bin")), 1);
        return std::tuple(cell.data().toString(), cell.data(Qt::ToolTipRole).toString(), w().FTPView->rows()->sizeDisplay());
    };
    const std::pair<const char*, QString> choices[] = {
        {"actSizeBytes", "1234567"}, {"actSizeGrouped", "1 234 567"}, {"actSizeBinary", "1.18 MiB"}};
    const SizeDisplay displays[] = {SizeDisplay::Bytes, SizeDisplay::Grouped, SizeDisplay::Binary};
    for (size_t i = 0; i < std::size(choices); ++i) {
        w().action(choices[i].first)->trigger();
        EXPECT_EQ(shown(), std::tuple(choices[i].second, QString("1234567 bytes"), displays[i])) << choices[i].first;
    }
    EXPECT_FALSE(saveScreenshot(w(), "main_sizes_binary").isEmpty());
    quit();
    open();
    EXPECT_TRUE(w().action("actSizeBinary")->isChecked());
    EXPECT_FALSE(w().action("actSizeGrouped")->isChecked());
    EXPECT_EQ(shown(), std::tuple(QString("1.18 MiB"), QString("1234567 bytes"), SizeDisplay::Binary));
}

// A refused connection is told in plain words in a box (what it says is the session's: unit tests).
TEST_F(WindowCommandsTest, ARefusedConnectionIsToldInABox)
{
    const uint16_t port = pickFreeLoopbackPort();
    QString text;
    onNextModal<QMessageBox>([&text](QMessageBox* box) {
        text = box->text();
        saveScreenshot(*box, "connection_error_box");
        box->accept();
    }, 60000);
    createSite(port);
    activate(w().FTPView, "Local vsftpd");
    ASSERT_TRUE(waitFor([&] { return !text.isEmpty(); }, 60000)) << log().toStdString();
    EXPECT_EQ(text, QString("The server 127.0.0.1 refused the connection on port %1.").arg(port));
}

// The next file chooser: its title and filters are recorded and `path` is chosen in it.
void chooseFile(const std::string& path, QString& title)
{
    onNextModal<QFileDialog>([path, &title](QFileDialog* chooser) {
        title = chooser->windowTitle() + "|" + chooser->nameFilters().join(";;");
        // Typed into the name box, as a user would once the folder has loaded: a selection made
        // earlier can be replaced by the dialog's own start name while it reads the folder.
        const QFileInfo file(QString::fromStdString(path));
        chooser->setDirectory(file.absolutePath());
        if (auto* name = chooser->findChild<QLineEdit*>("fileNameEdit"))
            name->setText(file.fileName());
        EXPECT_FALSE(saveScreenshot(*chooser, "file_chooser").isEmpty());
        static_cast<QDialog*>(chooser)->accept();   // as its Open or Save button does
    });
}

// "Synchronize Directories" opens the mirror dialog, which saves a profile and opens it again.
TEST_F(WindowCommandsTest, SynchronizeOpensTheDialogThatSavesAndOpensProfiles)
{
    NEED_VSFTPD();
    expectInMenus("Synchronize Directories");
    EXPECT_FALSE(w().action("actRemoteSyncDir")->isEnabled());
    server_->writeDataFile("a.txt", "a");
    connect({"a.txt"});
    w().refreshViews();
    ASSERT_TRUE(w().action("actRemoteSyncDir")->isEnabled());
    ASSERT_TRUE(w().action("actLocalSyncDir")->isEnabled());

    const std::string profile = home() + "site.cpf";
    QString opened, saveTitle;
    onNextModal<T_Mirror>([&](T_Mirror* d) {
        opened = d->windowTitle() + "|" + child<QLineEdit>(d, "edLocal")->text() + "|" +
                 child<QLineEdit>(d, "edRemote")->text();
        EXPECT_TRUE(child<QRadioButton>(d, "rbMirrorRemote")->isChecked());
        EXPECT_TRUE(child<QRadioButton>(d, "rbMirrorBoth")->text().contains("duplicate the contents on both sides"));
        answerInput(" *.bak ");
        click(d, "btAdd");
        EXPECT_EQ(child<QListWidget>(d, "lbExclusions")->item(0)->text(), " *.bak ");
        child<QRadioButton>(d, "rbAsk")->click();
        EXPECT_FALSE(saveScreenshot(*d, "mirror_dialog").isEmpty());
        chooseFile(profile, saveTitle);
        click(d, "btSaveAs");
        click(d, "btClose");
    });
    w().action("actRemoteSyncDir")->trigger();
    EXPECT_EQ(opened, QString("Compare folders|%1|%2").arg(QString::fromStdString(userHome_),
                                                            QString::fromStdString(session().Ftp1.HostDirName)));
    EXPECT_EQ(saveTitle, "Saving compare parameters|Compare parameters file (*.cpf);;Text files (*.txt);;All files (*)");
    EXPECT_NE(readFile(profile).find("Exclusions=*.bak\nDirection=1\nFile Exists=3\n"), std::string::npos)
        << readFile(profile);
    EXPECT_FALSE(fs::exists(home() + "Default.cpf"));

    // The local panel's entry mirrors the local side; the profile opened brings its own back.
    QString openTitle;
    bool localFirst = false;
    onNextModal<T_Mirror>([&](T_Mirror* d) {
        localFirst = child<QRadioButton>(d, "rbMirrorLocal")->isChecked();
        chooseFile(profile, openTitle);
        click(d, "btOpen");
        EXPECT_TRUE(child<QRadioButton>(d, "rbMirrorRemote")->isChecked());
        EXPECT_TRUE(child<QRadioButton>(d, "rbAsk")->isChecked());
        EXPECT_EQ(child<QListWidget>(d, "lbExclusions")->item(0)->text(), "*.bak");
        click(d, "btExecute");
    });
    w().action("actLocalSyncDir")->trigger();
    EXPECT_TRUE(localFirst);
    EXPECT_TRUE(openTitle.startsWith("Opening compare parameters|")) << openTitle.toStdString();
    EXPECT_EQ(readFile(home() + "Default.cpf"), readFile(profile));
    EXPECT_EQ(w().mirroring().task.Exclusions, "*.bak");
}

} // namespace
} // namespace brisk::test
