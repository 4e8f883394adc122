#include "sites/custom_layouts.h"
#include "sites/site_defaults.h"
#include "sites/site_properties.h"
#include "ui/input_form.h"
#include "ui/qt_user_interface.h"
#include "ui/site_properties_dialog.h"

#include "modal.h"
#include "screenshots.h"
#include "site_fixtures.h"
#include "temp_home.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

using namespace brisk;
using brisk::test::onNextModal;

namespace {

class SitePropertiesDialogTest : public TempHomeTest {
protected:
    template <class T>
    T* control(const char* name)
    {
        T* found = dialog_->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QLineEdit* edit(const char* name) { return control<QLineEdit>(name); }
    QCheckBox* check(const char* name) { return control<QCheckBox>(name); }
    QPushButton* button(const char* name) { return control<QPushButton>(name); }

    void open(const TFTPServerInfo& site)
    {
        model_ = std::make_unique<SiteProperties>(site, test::fixedZones());
        dialog_ = std::make_unique<TFFtpBase>(*model_);
        dialog_->show();
    }

    static void type(QLineEdit* edit, const QString& text)
    {
        edit->clear();
        QTest::keyClicks(edit, text);
    }

    // Answers the next layout prompt; returns its title through `title`.
    static void answerPrompt(const QString& name, QString* title = nullptr)
    {
        onNextModal<TInputForm>([name, title](TInputForm* form) {
            if (title)
                *title = form->windowTitle();
            auto* text = form->findChild<QLineEdit*>("edText");
            text->clear();
            QTest::keyClicks(text, name);
            form->accept();
        });
    }

    std::unique_ptr<SiteProperties> model_;
    std::unique_ptr<TFFtpBase> dialog_;
};

} // namespace

TEST_F(SitePropertiesDialogTest, SavingStoresWhatWasTypedAndCloses)
{
    open(test::newDefaultSite());
    type(edit("edName"), "  Mirror ");
    type(edit("edServer"), "ftp.example.org");
    type(edit("edPort"), "2121");
    type(edit("edUser"), "anna");
    type(edit("edPassword"), "s3cret");
    check("cbPasv")->setChecked(true);
    control<QComboBox>("cbZones")->setCurrentIndex(2);
    control<QPlainTextEdit>("meDesc")->setPlainText("first\nsecond");
    button("btSave")->click();

    EXPECT_EQ(dialog_->result(), QDialog::Accepted);
    EXPECT_FALSE(dialog_->isVisible());
    const TFTPServerInfo& saved = model_->result();
    EXPECT_EQ(saved.Name, "Mirror");
    EXPECT_EQ(saved.Server, "ftp.example.org");
    EXPECT_EQ(saved.Port, "2121");
    EXPECT_EQ(saved.User, "anna");
    EXPECT_EQ(saved.Password, "s3cret");
    EXPECT_EQ(saved.Pasv, 1);
    EXPECT_EQ(saved.TimeZoneV, 2);
    EXPECT_EQ(saved.TimeZone, 5);
    EXPECT_EQ(saved.Desc, "first`second");
    EXPECT_TRUE(model_->answerFileWritten());
}

// The error names the field to mend; nothing is saved.
TEST_F(SitePropertiesDialogTest, AFieldThatCannotBeSavedIsNamedAndKeepsTheDialogOpen)
{
    const char* const missingName = "FTP Server Name must be defined";
    const char* const badServer = "Server: enter a host name or address without blanks.";
    const char* const badPort = "Port: enter a number from 1 to 65535.";
    const struct {
        const char* name;
        const char* server;
        const char* port;
        const char* error;
    } cases[] = {{"  ", "ftp.example.org", "21", missingName},
                 {"Mirror", "", "21", badServer},
                 {"", " ", "21", missingName},
                 {"Mirror", "127.0.0. 1 bad host", "21", badServer},
                 {"Mirror", "ftp.example.org", "99999", badPort},
                 {"Mirror", "ftp.example.org", "", badPort}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("name '") + c.name + "' server '" + c.server + "' port '" + c.port + "'");
        open(test::newDefaultSite());
        type(edit("edName"), c.name);
        type(edit("edServer"), c.server);
        type(edit("edPort"), c.port);
        QString caption, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        onNextModal<QMessageBox>([&](QMessageBox* box) {
            caption = box->windowTitle();
            text = box->text();
            icon = box->icon();
            box->accept();
        });
        button("btSave")->click();

        EXPECT_EQ(caption, "Attention");
        EXPECT_EQ(text, c.error);
        EXPECT_EQ(icon, QMessageBox::Critical);
        EXPECT_TRUE(dialog_->isVisible());
        EXPECT_EQ(model_->result().Name, "");
        EXPECT_FALSE(model_->answerFileWritten());
    }
}

TEST_F(SitePropertiesDialogTest, AnonymousLoginSwapsTheLoginFieldsForTheEmailField)
{
    open(test::newDefaultSite());
    const char* login[] = {"edUser", "edPassword", "edAccount"};
    for (const char* name : login)
        EXPECT_TRUE(edit(name)->isEnabled()) << name;
    EXPECT_FALSE(edit("edEmail")->isEnabled());

    check("cbAno")->click();
    for (const char* name : login)
        EXPECT_FALSE(edit(name)->isEnabled()) << name;
    EXPECT_TRUE(edit("edEmail")->isEnabled());

    check("cbAno")->click();
    EXPECT_TRUE(edit("edUser")->isEnabled());
    EXPECT_FALSE(edit("edEmail")->isEnabled());
}

TEST_F(SitePropertiesDialogTest, MaskPasswordHidesThePasswordAndIsSaved)
{
    TFTPServerInfo site = test::newDefaultSite();
    site.Name = "Mirror";
    site.Server = "ftp.example.org";
    site.CheckPSW = 1;
    open(site);
    EXPECT_EQ(edit("edPassword")->echoMode(), QLineEdit::Password);
    check("cbMaskPsw")->click();
    EXPECT_EQ(edit("edPassword")->echoMode(), QLineEdit::Normal);
    button("btSave")->click();
    EXPECT_EQ(model_->result().CheckPSW, 0);
}

TEST_F(SitePropertiesDialogTest, AddSlashPutsOrTakesTheLeadingSlash)
{
    TFTPServerInfo site = test::newDefaultSite();
    site.InitialDir = "pub/incoming";
    open(site);
    EXPECT_FALSE(check("cbAddSlash")->isChecked());
    check("cbAddSlash")->click();
    EXPECT_EQ(edit("edInitDir")->text(), "/pub/incoming");
    check("cbAddSlash")->click();
    EXPECT_EQ(edit("edInitDir")->text(), "pub/incoming");
}

TEST_F(SitePropertiesDialogTest, OnlyTheCustomResponseTypeShowsTheLayoutControls)
{
    open(test::newDefaultSite());
    auto* type = control<QComboBox>("cbResponse");
    auto* custom = control<QGroupBox>("gbCustom");
    EXPECT_EQ(type->currentIndex(), 0);
    EXPECT_TRUE(custom->isHidden());
    for (int code = 0; code < type->count(); ++code) {
        type->setCurrentIndex(code);
        EXPECT_EQ(custom->isHidden(), code != 4) << code;
    }
    EXPECT_EQ(type->count(), 10);
}

TEST_F(SitePropertiesDialogTest, ANewCustomLayoutTakesItsPositionsIntoTheSavedDescriptor)
{
    TFTPServerInfo site = test::newDefaultSite();
    site.Name = "Mirror";
    site.Server = "ftp.example.org";
    open(site);
    control<QComboBox>("cbResponse")->setCurrentIndex(4);
    auto* layouts = control<QListWidget>("lbLayouts");
    ASSERT_EQ(layouts->count(), 1);
    EXPECT_EQ(layouts->item(0)->text(), "Default");
    EXPECT_FALSE(edit("edPos0")->isEnabled());

    QString title;
    answerPrompt("Listing A", &title);
    button("btAdd")->click();
    EXPECT_EQ(title, "New Host Type");
    ASSERT_EQ(layouts->count(), 2);
    EXPECT_EQ(layouts->currentRow(), 1);
    EXPECT_EQ(layouts->item(1)->text(), "Listing A");
    EXPECT_TRUE(edit("edPos0")->isEnabled());

    const char* positions[] = {"9", "5", "7", "6", "8", "1"};
    for (int i = 0; i < 6; ++i)
        type(edit(QString("edPos%1").arg(i).toLatin1().constData()), positions[i]);
    button("btSave")->click();

    EXPECT_EQ(model_->result().Answer, "4957681");
    EXPECT_EQ(model_->result().AnswerName, "Listing A");
    EXPECT_EQ(readFile(AnswerFilePath()), "\"Default\",0957681\n\"Listing A\",4957681\n");
}

TEST_F(SitePropertiesDialogTest, EditRenamesACustomLayoutAndActsAsAddOnTheDefaultOne)
{
    open(test::newDefaultSite());
    control<QComboBox>("cbResponse")->setCurrentIndex(4);
    auto* layouts = control<QListWidget>("lbLayouts");

    QString title;
    answerPrompt("Listing A", &title);
    button("btEdit")->click();
    EXPECT_EQ(title, "New Host Type");
    ASSERT_EQ(layouts->count(), 2);

    QString prefilled;
    onNextModal<TInputForm>([&](TInputForm* form) {
        title = form->windowTitle();
        prefilled = form->findChild<QLineEdit*>("edText")->text();
        QTest::keyClicks(form->findChild<QLineEdit*>("edText"), "2", Qt::NoModifier);
        form->accept();
    });
    layouts->setCurrentRow(1);
    button("btEdit")->click();
    EXPECT_EQ(title, "Edit Host Type");
    EXPECT_EQ(prefilled, "Listing A");
    EXPECT_EQ(layouts->item(1)->text(), "2");
}

TEST_F(SitePropertiesDialogTest, DeleteRemovesOnlyCustomLayouts)
{
    writeFile(AnswerFilePath(), "\"Default\",0957681\n\"Listing A\",4957681\n\"Listing B\",4123456\n");
    open(test::newDefaultSite());
    control<QComboBox>("cbResponse")->setCurrentIndex(4);
    auto* layouts = control<QListWidget>("lbLayouts");
    ASSERT_EQ(layouts->count(), 3);

    layouts->setCurrentRow(2);
    EXPECT_EQ(edit("edPos0")->text(), "1");
    EXPECT_EQ(edit("edPos5")->text(), "6");
    button("btDelete")->click();
    ASSERT_EQ(layouts->count(), 2);
    EXPECT_EQ(layouts->currentRow(), 1);
    EXPECT_EQ(edit("edPos0")->text(), "9");

    layouts->setCurrentRow(0);
    button("btDelete")->click();
    EXPECT_EQ(layouts->count(), 2);
}

TEST_F(SitePropertiesDialogTest, PositionFieldsTakeTwoDigitsAndOtherKeysErase)
{
    open(test::newDefaultSite());
    control<QComboBox>("cbResponse")->setCurrentIndex(4);
    answerPrompt("Listing A");
    button("btAdd")->click();
    const struct {
        const char* keys;
        const char* shown;
    } cases[] = {{"12", "12"}, {"123", "12"}, {"1a2", "2"}, {"7x", ""}, {"0b", ""}};
    for (const auto& c : cases) {
        type(edit("edPos0"), c.keys);
        EXPECT_EQ(edit("edPos0")->text(), c.shown) << c.keys;
        EXPECT_EQ(model_->form.positions[0], c.shown) << c.keys;
    }
}

TEST_F(SitePropertiesDialogTest, CancelKeepsTheSiteButWritesNewLayouts)
{
    TFTPServerInfo site = test::newDefaultSite();
    site.Name = "Mirror";
    open(site);
    type(edit("edName"), "Changed");
    control<QComboBox>("cbResponse")->setCurrentIndex(4);
    answerPrompt("Listing A");
    button("btAdd")->click();
    button("btCancel")->click();

    EXPECT_EQ(dialog_->result(), QDialog::Rejected);
    EXPECT_EQ(model_->result().Name, "Mirror");
    EXPECT_EQ(readFile(AnswerFilePath()), "\"Default\",0957681\n\"Listing A\",0957681\n");
}

TEST_F(SitePropertiesDialogTest, EscapeCancelsTheModelToo)
{
    open(test::newDefaultSite());
    QTest::keyClick(dialog_.get(), Qt::Key_Escape);
    EXPECT_EQ(dialog_->result(), QDialog::Rejected);
    EXPECT_TRUE(model_->answerFileWritten());
}

TEST_F(SitePropertiesDialogTest, EditSiteThroughTheUserInterfaceIsTrueOnlyWhenSaved)
{
    QtUserInterface ui;
    for (bool save : {true, false}) {
        SCOPED_TRACE(save ? "save" : "cancel");
        SiteProperties model(test::newDefaultSite(), test::fixedZones());
        onNextModal<TFFtpBase>([save](TFFtpBase* dialog) {
            auto* name = dialog->findChild<QLineEdit*>("edName");
            QTest::keyClicks(name, "Mirror");
            QTest::keyClicks(dialog->findChild<QLineEdit*>("edServer"), "ftp.example.org");
            dialog->findChild<QPushButton*>(save ? "btSave" : "btCancel")->click();
        });
        EXPECT_EQ(ui.EditSite(model), save);
        EXPECT_EQ(model.result().Name, save ? "Mirror" : "");
    }
}

TEST_F(SitePropertiesDialogTest, ScreenshotShowsRenderedText)
{
    TFTPServerInfo site = test::newDefaultSite();
    site.Name = "Mirror";
    site.Server = "ftp.example.org";
    open(site);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog_.get()));
    EXPECT_TRUE(brisk::test::textRenders(dialog_->font()));

    const QString path = brisk::test::saveScreenshot(*dialog_, "site_properties");
    ASSERT_FALSE(path.isEmpty());
    const QImage image(path);
    ASSERT_FALSE(image.isNull());
    EXPECT_GE(image.width(), dialog_->width());
    // Text and frames in a darker colour than the background.
    int dark = 0;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            dark += qGray(image.pixel(x, y)) < 96;
    EXPECT_GT(dark, 100);

    control<QTabWidget>("tabs")->setCurrentIndex(1);
    control<QComboBox>("cbResponse")->setCurrentIndex(4);
    EXPECT_FALSE(brisk::test::saveScreenshot(*dialog_, "site_properties_custom").isEmpty());
}
