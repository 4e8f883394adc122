// The main window: browsing a site, the panels' rows and focus, fonts, idling, the toolbar's icons and
// the language of its texts.
#include "i18n/window_messages.h"
#include "platform/ini_file.h"
#include "session/attribute_form.h"
#include "session/custom_command_editor.h"
#include "session/options_form.h"
#include "session/overwrite_prompt.h"
#include "sites/site_properties.h"
#include "ui/action_icons.h"
#include "ui/attributes_dialog.h"
#include "ui/carriage_return_dialog.h"
#include "ui/custom_commands_dialog.h"
#include "ui/mirror_dialog.h"
#include "ui/options_dialog.h"
#include "ui/overwrite_dialog.h"
#include "ui/progress_window.h"
#include "ui/text_viewer.h"
#include "scripted_user_interface.h"
#include "server_tls.h"
#include "site_fixtures.h"
#include "temp_dir.h"
#include "window_fixture.h"

#include <QFile>
#include <QFileInfo>
#include <QFontDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QImage>
#include <QSignalSpy>
#include <QStatusBar>
#include <QToolBar>
#include <QTimer>
#include <QToolButton>

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

// A site that requires TLS asks about the server's self-signed certificate in the window and the answer
// opens the session; that "Trust always" is not asked again is tests/integration/tls_servers_test.cpp.
TEST_F(MainWindowTest, ATlsSiteAsksAboutTheCertificateInTheWindow)
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
    activate(w().FTPView, "Local vsftpd");
    waitForRows({"secret.txt"});
    EXPECT_EQ(asked, 1);
}

// With implicit TLS the server greets right after the handshake, while the certificate question's box
// runs its own event loop: nothing is sent until the answer, and Cancel sends no user name at all.
TEST_F(MainWindowTest, NothingReachesTheServerWhileTheCertificateQuestionIsOpen)
{
    if (auto why = VsftpdServer::unavailableReason())
        GTEST_SKIP() << *why;
    TempDir dir;
    const ServerTls tls = makeServerTls(dir.path() / "tls", true);
    server_ = std::make_unique<VsftpdServer>(tls);
    createSite(server_->port(), "127.0.0.1", ftpSecurityImplicit);
    std::string logWhileAsked;
    std::string refusal;
    onNextModal<QMessageBox>([&](QMessageBox* box) {
        ASSERT_TRUE(box->text().contains(QString::fromStdString(tls.fingerprint))) << box->text().toStdString();
        QTimer::singleShot(1000, box, [&, box] { // the user takes a while
            logWhileAsked = server_->logContents();
            box->button(QMessageBox::Cancel)->click();
            onNextModal<QMessageBox>([&](QMessageBox* error) {
                refusal = error->text().toStdString();
                error->close();
            });
        });
    });
    activate(w().FTPView, "Local vsftpd");
    ASSERT_TRUE(waitFor([&] { return !logWhileAsked.empty(); })) << log().toStdString();
    EXPECT_NE(logWhileAsked.find("CONNECT: Client"), std::string::npos) << logWhileAsked;
    EXPECT_EQ(logWhileAsked.find("FTP command:"), std::string::npos) << logWhileAsked;
    ASSERT_TRUE(waitFor([&] { return !refusal.empty(); })) << log().toStdString();
    EXPECT_EQ(refusal, "Certificate refused: the server's identity could not be confirmed");
    EXPECT_EQ(server_->logContents().find("FTP command:"), std::string::npos) << server_->logContents();
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
    EXPECT_EQ(std::tuple(resets.count(), inserts.count()), std::tuple(1, 0)) << "rows come in one reset, never one by one";
    EXPECT_EQ(captions(w.lvLoc), QStringList({"sub", "a.txt", "b.txt", "c.txt"}));
    const QModelIndex size = w.lvLoc->model()->index(1, 1);
    EXPECT_EQ(size.data().toString(), "5");
    EXPECT_TRUE(size.data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight);
    EXPECT_FALSE(w.lvLoc->model()->index(1, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
    emit w.lvLoc->header()->sectionClicked(0);
    EXPECT_EQ(captions(w.lvLoc), QStringList({"sub", "c.txt", "b.txt", "a.txt"}));
    const QHeaderView* sorted = w.lvLoc->header();
    EXPECT_EQ(std::tuple(sorted->isSortIndicatorShown(), sorted->sortIndicatorSection(), sorted->sortIndicatorOrder()),
              std::tuple(true, 0, Qt::DescendingOrder));

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

// A shape on a clear ground, not a blank or a filled square: the pixels drawn in 24x24.
bool drawsSomething(const QIcon& icon)
{
    const QImage image = icon.pixmap(24, 24).toImage().convertToFormat(QImage::Format_ARGB32);
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            drawn += qAlpha(image.pixel(x, y)) > 0;
    return drawn > 24 && drawn < 24 * 24;
}

// No icon theme anywhere, as on a bare system, unless a test lays one out.
class ActionIconsTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        QIcon::setThemeSearchPaths({});
        QIcon::setFallbackSearchPaths({});
    }
    void TearDown() override
    {
        QIcon::setThemeName(themeName_);
        QIcon::setThemeSearchPaths(themePaths_);
        QIcon::setFallbackSearchPaths(fallbackPaths_);
        WindowTest::TearDown();
    }

private:
    const QString themeName_ = QIcon::themeName();
    const QStringList themePaths_ = QIcon::themeSearchPaths();
    const QStringList fallbackPaths_ = QIcon::fallbackSearchPaths();
};

TEST_F(ActionIconsTest, EveryShippedIconDrawsAShape)
{
    const QStringList files = QDir(":/icons").entryList();
    ASSERT_GE(files.size(), 19);
    QWidget sheet;
    auto* grid = new QGridLayout(&sheet);
    for (int i = 0; i < files.size(); ++i) {
        const QIcon icon(":/icons/" + files[i]);
        EXPECT_TRUE(drawsSomething(icon)) << files[i].toStdString();
        auto* picture = new QLabel;
        picture->setPixmap(icon.pixmap(48, 48));
        grid->addWidget(picture, (i / 5) * 2, i % 5, Qt::AlignCenter);
        grid->addWidget(new QLabel(QFileInfo(files[i]).baseName()), (i / 5) * 2 + 1, i % 5, Qt::AlignCenter);
    }
    EXPECT_FALSE(saveScreenshot(sheet, "shipped_icons").isEmpty());
}

TEST_F(ActionIconsTest, AThemesIconComesFirstAndTheShippedOneFillsItsGaps)
{
    const QString theme = QString::fromStdString(home()) + "icons/Plain";
    ASSERT_TRUE(QDir().mkpath(theme + "/24x24/actions"));
    QFile index(theme + "/index.theme");
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.write("[Icon Theme]\nName=Plain\nDirectories=24x24/actions\n\n[24x24/actions]\nSize=24\nType=Fixed\n");
    index.close();
    QImage red(24, 24, QImage::Format_ARGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(theme + "/24x24/actions/network-connect.png"));
    QIcon::setThemeSearchPaths({QString::fromStdString(home()) + "icons"});
    QIcon::setThemeName("Plain");

    EXPECT_EQ(actionIcon("network-connect").pixmap(24, 24).toImage().pixelColor(12, 12), QColor(Qt::red));
    const QIcon stop = actionIcon("process-stop");
    EXPECT_TRUE(drawsSomething(stop));
    EXPECT_NE(stop.pixmap(24, 24).toImage().pixelColor(12, 12), QColor(Qt::red));
    EXPECT_TRUE(actionIcon("no-such-icon").isNull());
}

// Every toolbar button shows its icon, all but the two arrows a label too, and none is pushed off the
// bar into its overflow menu.
TEST_F(ActionIconsTest, TheToolbarShowsEveryCommandWithItsIconAndLabel)
{
    open();
    auto* bar = w().findChild<QToolBar*>("mainToolBar");
    int buttons = 0;
    for (QAction* act : bar->actions()) {
        if (act->isSeparator())
            continue;
        const std::string name = act->objectName().toStdString();
        EXPECT_TRUE(drawsSomething(act->icon())) << name;
        auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(act));
        ASSERT_NE(button, nullptr) << name;
        EXPECT_TRUE(button->isVisible()) << name << " is in the overflow menu";
        const bool arrow = act == w().action("actUpload") || act == w().action("actDownload");
        EXPECT_EQ(button->toolButtonStyle() == Qt::ToolButtonIconOnly, arrow) << name;
        ++buttons;
    }
    EXPECT_GE(buttons, 12);
    EXPECT_TRUE(textRenders(bar->font()));
    EXPECT_FALSE(saveScreenshot(w(), "main_window_icons").isEmpty());
}

using LanguageTest = WindowTest;

// With the template asked for and the built-in language chosen, every window that opens adds its
// section to the template.
TEST_F(LanguageTest, OpeningEachWindowOnceFillsTheTemplate)
{
    writeFile(home() + "options.ftp", "[Language]\nLangInit=1\n");
    open();
    {
        AttributeForm attributes({{"a.txt", 644}});
        T_ChMod chmod(attributes);
        LineEndingChoice lineEnding;
        T_Carrage carriage(lineEnding);
        CustomCommandEditor commands({{"Features"}, {"FEAT"}});
        T_FCmd custom(commands);
        TRecMirror task;
        ScriptedUserInterface scripted;
        MirrorForm mirrorForm(task, scripted, session().msl);
        T_Mirror mirror(mirrorForm);
        OverwritePrompt overwrite(OverwriteMessagesEnglish(), "/tmp/a.txt");
        TFReWrite rewrite(overwrite);
        TProgress progress({});
        TInputForm input({"Rename", "Enter new name", "a.txt", 255, false});
        TextViewer viewer;
        SiteProperties site(newDefaultSite(), fixedZones());
        TFFtpBase properties(site);
        auto& settings = w().program().settings;
        OptionsForm optionsForm(settings.options, settings.lang, settings.fonts, scripted, session().msl.msl, home());
        optionsForm.open();
        T_Options preferences(optionsForm);
    }
    const IniFile lan(home() + "language.lan");
    // The German translation that comes with the program has exactly the keys of the template.
    const IniFile german(home() + "deutsch.lan");
    const auto keys = [](const IniFile& file, const char* section) {
        std::vector<std::string> out;
        for (const auto& entry : file.sectionEntries(section))
            out.push_back(entry.first);
        return out;
    };
    for (const char* section : {"T_MAIN", "T_CHMOD", "T_CARRAGE", "T_FCMD", "T_MIRROR", "TFREWRITE", "TPROGRESS",
                                "TINPUTFORM", "T_VIEWER", "TFFTPBASE", "T_OPTIONS"}) {
        EXPECT_TRUE(lan.hasSection(section)) << section;
        EXPECT_EQ(keys(german, section), keys(lan, section)) << section;
    }
    const std::tuple<const char*, const char*, const char*> entries[] = {
        {"T_MAIN", "msl.Items.35", "Connection closed"},
        {"T_MAIN", "lvLoc.Columns.0.Caption", "Filename"},
        {"T_MAIN", "actConnect.Caption", "Connect to FTP - Server"},
        {"TPROGRESS", "msl.Items.3", "K/sec"},
        {"TFFTPBASE", "Self.Caption", "FTP Server Properties"},
    };
    for (const auto& [section, key, value] : entries)
        EXPECT_EQ(lan.readString(section, key, "<none>"), value) << section << " " << key;
    // Data is no text of the program: the prompt's caption and value, the site's fields.
    EXPECT_EQ(lan.readString("TINPUTFORM", "Self.Caption", "<none>"), "");
    EXPECT_FALSE(lan.hasKey("TINPUTFORM", "edText.Text"));
    EXPECT_FALSE(lan.hasKey("T_MAIN", "msl.Items.36"));
}

// The German translation comes with the program; choosing it changes the menus, the column headers
// and the bars' hints from then on, and English comes back the same way. (The session's log lines
// follow the same registration: tests/unit/language_file_test.cpp.)
TEST_F(LanguageTest, SwitchingToGermanAtRunTime)
{
    QAction* german = w().findChild<QAction*>("actLanguage_deutsch");
    ASSERT_NE(german, nullptr);
    german->trigger();
    EXPECT_TRUE(german->isChecked());
    EXPECT_EQ(w().program().settings.lang.LangFile, "deutsch");
    EXPECT_NE(menu("&Datei"), nullptr);
    const auto shown = [&] {
        return QStringList{w().action("actConnect")->text(), header(w().lvLoc, 0), header(w().FTPView, 0),
                           w().findChild<QComboBox*>("qcAddress")->lineEdit()->placeholderText()}.join("|");
    };
    EXPECT_EQ(shown(), "Verbinden|Dateiname|FTP-Server|Host oder ftp://user@host:port/dir");
    QTest::qWait(50);   // the new texts laid out
    ASSERT_FALSE(saveScreenshot(w(), "main_window_german").isEmpty());

    w().findChild<QAction*>("actLanguageDefault")->trigger();
    EXPECT_EQ(shown(), "Connect to FTP - Server|Filename|FTP Servers|host or ftp://user@host:port/dir");
}

} // namespace
} // namespace brisk::test
