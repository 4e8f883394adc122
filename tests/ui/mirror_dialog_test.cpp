// The mirror dialog ("Compare folders"): the file types as Qt takes them, and "Synchronize
// Directories" on a real vsftpd opening the dialog, saving a profile and opening it again.
#include "ui/file_choosers.h"
#include "ui/input_form.h"
#include "ui/mirror_dialog.h"
#include "modal.h"
#include "screenshots.h"
#include "window_fixture.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

using namespace brisk;
using brisk::test::onNextModal;

namespace {

TEST(QtFileFilter, MapsDescriptionsAndPatternsToQtsForm)
{
    const std::pair<const char*, const char*> cases[] = {
        {MirrorForm::kFilter, "Compare parameters file (*.cpf);;Text files (*.txt);;All files (*)"},
        {"Pictures (*.png;*.jpg)|*.png;*.jpg", "Pictures (*.png *.jpg)"},
        {"Logs|*.log|Dangling", "Logs (*.log)"},
    };
    for (const auto& [filter, qt] : cases)
        EXPECT_EQ(QtFileFilter(filter), qt) << filter;
}

class MirrorWindowTest : public test::WindowTest {
protected:
    template <class T>
    static T* child(QWidget* dialog, const char* name)
    {
        T* widget = dialog->findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    static void click(QWidget* dialog, const char* name) { child<QPushButton>(dialog, name)->click(); }
    // The next file chooser: its title is recorded and `path` is chosen in it.
    static void chooseFile(const std::string& path, QString& title)
    {
        onNextModal<QFileDialog>([path, &title](QFileDialog* chooser) {
            title = chooser->windowTitle() + "|" + chooser->nameFilters().join(";;");
            // Typed into the name box, as a user would once the folder has loaded: a selection made
            // earlier can be replaced by the dialog's own start name while it reads the folder.
            const QFileInfo file(QString::fromStdString(path));
            chooser->setDirectory(file.absolutePath());
            if (auto* name = chooser->findChild<QLineEdit*>("fileNameEdit"))
                name->setText(file.fileName());
            static_cast<QDialog*>(chooser)->accept();   // as its Open or Save button does
        });
    }
    std::vector<QString> menuTexts(QMenu* menu)
    {
        std::vector<QString> texts;
        for (const QAction* entry : menu->actions())
            texts.push_back(entry->text());
        return texts;
    }
    QMenu* barMenu(const QString& title)
    {
        for (QAction* entry : w().menuBar()->actions())
            if (entry->text() == title)
                return entry->menu();
        return nullptr;
    }
};

TEST_F(MirrorWindowTest, SynchronizeOpensTheDialogThatSavesAndOpensProfiles)
{
    if (!startVsftpd())
        GTEST_SKIP() << skipReason_;
    for (const char* menu : {"&Local", "&Remote"})
        EXPECT_NE(std::ranges::count(menuTexts(barMenu(menu)), "Synchronize Directories"), 0) << menu;
    for (const char* menu : {"pmLocal", "pmRemote"})
        EXPECT_NE(std::ranges::count(menuTexts(w().findChild<QMenu*>(menu)), "Synchronize Directories"), 0) << menu;
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
        EXPECT_TRUE(child<QRadioButton>(d, "rbOverwrite")->isChecked());
        EXPECT_FALSE(child<QPushButton>(d, "btRemove")->isEnabled());
        onNextModal<TInputForm>([](TInputForm* prompt) {
            prompt->findChild<QLineEdit*>("edText")->setText(" *.bak ");
            prompt->accept();
        });
        click(d, "btAdd");
        EXPECT_EQ(child<QListWidget>(d, "lbExclusions")->item(0)->text(), " *.bak ");
        child<QRadioButton>(d, "rbAsk")->click();
        child<QListWidget>(d, "lbExclusions")->setCurrentRow(0);
        EXPECT_TRUE(child<QPushButton>(d, "btRemove")->isEnabled());
        EXPECT_FALSE(test::saveScreenshot(*d, "mirror_dialog").isEmpty());
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
    EXPECT_FALSE(std::filesystem::exists(home() + "Default.cpf"));

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
