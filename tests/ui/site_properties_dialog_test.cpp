// The site dialog binds its widgets to SiteProperties; the model's rules are tested in
// tests/unit/site_properties_test.cpp, so each case here checks one binding.
#include "sites/custom_layouts.h"
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

    void open(const char* name = "", const char* server = "", const char* initialDir = "")
    {
        TFTPServerInfo site = test::newDefaultSite();
        site.Name = name;
        site.Server = server;
        site.InitialDir = initialDir;
        model_ = std::make_unique<SiteProperties>(site, test::fixedZones());
        dialog_ = std::make_unique<TFFtpBase>(*model_);
        dialog_->show();
    }

    static void type(QLineEdit* edit, const QString& text)
    {
        edit->clear();
        QTest::keyClicks(edit, text);
    }

    // Answers the next layout prompt with `name`; returns its title and starting text.
    static void answerPrompt(const QString& name, QString* seen = nullptr)
    {
        onNextModal<TInputForm>([name, seen](TInputForm* form) {
            auto* text = form->findChild<QLineEdit*>("edText");
            if (seen)
                *seen = form->windowTitle() + "|" + text->text();
            text->setText(name);
            form->accept();
        });
    }

    std::unique_ptr<SiteProperties> model_;
    std::unique_ptr<TFFtpBase> dialog_;
};

TEST_F(SitePropertiesDialogTest, SavingStoresWhatWasTypedAndCloses)
{
    open();
    type(edit("edName"), "Mirror");
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
    EXPECT_EQ(saved.Name + "|" + saved.Server + "|" + saved.Port + "|" + saved.User + "|" + saved.Password,
              "Mirror|ftp.example.org|2121|anna|s3cret");
    EXPECT_EQ(saved.Pasv, 1);
    EXPECT_EQ(saved.TimeZoneV, 2);
    EXPECT_EQ(saved.Desc, "first`second");
}

// The model's check() decides; the dialog names the field in an error box and stays open.
TEST_F(SitePropertiesDialogTest, AFieldThatCannotBeSavedIsNamedAndKeepsTheDialogOpen)
{
    const struct {
        const char* name;
        const char* server;
        const char* port;
        const char* error;
    } cases[] = {{"  ", "ftp.example.org", "21", "FTP Server Name must be defined"},
                 {"Mirror", "bad host", "21", "Server: enter a host name or address without blanks."},
                 {"Mirror", "ftp.example.org", "99999", "Port: enter a number from 1 to 65535."}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        open();
        type(edit("edName"), c.name);
        type(edit("edServer"), c.server);
        type(edit("edPort"), c.port);
        QString shown;
        onNextModal<QMessageBox>([&](QMessageBox* box) {
            shown = box->windowTitle() + "|" + box->text();
            EXPECT_EQ(box->icon(), QMessageBox::Critical);
            box->accept();
        });
        button("btSave")->click();
        EXPECT_EQ(shown, QString("Attention|") + c.error);
        EXPECT_TRUE(dialog_->isVisible());
        EXPECT_FALSE(model_->answerFileWritten());
    }
}

TEST_F(SitePropertiesDialogTest, ControlsFollowTheModelsRules)
{
    open("Mirror", "ftp.example.org", "pub");
    check("cbAno")->click();
    EXPECT_FALSE(edit("edUser")->isEnabled());
    EXPECT_FALSE(edit("edPassword")->isEnabled());
    EXPECT_TRUE(edit("edEmail")->isEnabled());
    check("cbAno")->click();
    EXPECT_TRUE(edit("edUser")->isEnabled());
    EXPECT_FALSE(edit("edEmail")->isEnabled());

    check("cbAddSlash")->click();
    EXPECT_EQ(edit("edInitDir")->text(), "/pub");

    auto* response = control<QComboBox>("cbResponse");
    for (int code = 0; code < response->count(); ++code) {
        response->setCurrentIndex(code);
        EXPECT_EQ(control<QGroupBox>("gbCustom")->isHidden(), code != 4) << code;
    }

    EXPECT_EQ(edit("edPassword")->echoMode(), QLineEdit::Password);
    check("cbMaskPsw")->click();
    EXPECT_EQ(edit("edPassword")->echoMode(), QLineEdit::Normal);
    button("btSave")->click();
    EXPECT_EQ(model_->result().CheckPSW, 0);
}

// Add, Edit and Delete reach the model's layouts; the position fields show what the model keeps.
TEST_F(SitePropertiesDialogTest, CustomLayoutsAreAddedEditedDeletedAndSaved)
{
    writeFile(AnswerFilePath(), "\"Default\",0957681\n\"Listing B\",4123456\n");
    open("Mirror", "ftp.example.org");
    control<QComboBox>("cbResponse")->setCurrentIndex(4);
    auto* layouts = control<QListWidget>("lbLayouts");
    ASSERT_EQ(layouts->count(), 2);
    EXPECT_FALSE(edit("edPos0")->isEnabled());

    QString seen;
    answerPrompt("Listing A", &seen);
    button("btAdd")->click();
    EXPECT_TRUE(seen.startsWith("New Host Type|")) << seen.toStdString();
    ASSERT_EQ(layouts->count(), 3);
    EXPECT_EQ(layouts->currentRow(), 2);
    EXPECT_TRUE(edit("edPos0")->isEnabled());
    layouts->setCurrentRow(1);
    EXPECT_EQ(edit("edPos5")->text(), "6");
    answerPrompt("Listing C", &seen);
    button("btEdit")->click();
    EXPECT_EQ(seen, "Edit Host Type|Listing B");
    EXPECT_EQ(layouts->item(1)->text(), "Listing C");
    layouts->setCurrentRow(2);
    button("btDelete")->click();
    ASSERT_EQ(layouts->count(), 2);
    EXPECT_EQ(layouts->currentRow(), 1);

    type(edit("edPos0"), "1a2");
    EXPECT_EQ(edit("edPos0")->text(), "2") << "the model's key rule";
    const char* positions[] = {"9", "5", "7", "6", "8", "1"};
    for (int i = 0; i < 6; ++i)
        type(edit(QString("edPos%1").arg(i).toLatin1().constData()), positions[i]);
    button("btSave")->click();
    EXPECT_EQ(model_->result().Answer, "4957681");
    EXPECT_EQ(model_->result().AnswerName, "Listing C");
    EXPECT_EQ(readFile(AnswerFilePath()), "\"Default\",0957681\n\"Listing C\",4957681\n");
}

TEST_F(SitePropertiesDialogTest, CancelAndEscapeLeaveTheSiteAndCloseTheModel)
{
    for (bool escape : {false, true}) {
        open("Mirror");
        type(edit("edName"), "Changed");
        if (escape)
            QTest::keyClick(dialog_.get(), Qt::Key_Escape);
        else
            button("btCancel")->click();
        EXPECT_EQ(dialog_->result(), QDialog::Rejected);
        EXPECT_EQ(model_->result().Name, "Mirror");
        EXPECT_TRUE(model_->answerFileWritten()) << "the model was closed";
    }
}

// Saving through the user interface is what the window's New Server does (tests/ui/main_window_test.cpp).
TEST_F(SitePropertiesDialogTest, EditSiteThroughTheUserInterfaceIsFalseWhenCancelled)
{
    SiteProperties model(test::newDefaultSite(), test::fixedZones());
    onNextModal<TFFtpBase>([](TFFtpBase* dialog) {
        QTest::keyClicks(dialog->findChild<QLineEdit*>("edName"), "Mirror");
        dialog->findChild<QPushButton*>("btCancel")->click();
    });
    EXPECT_FALSE(QtUserInterface().EditSite(model));
    EXPECT_EQ(model.result().Name, "");
}

TEST_F(SitePropertiesDialogTest, ScreenshotShowsRenderedText)
{
    open("Mirror", "ftp.example.org");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog_.get()));
    EXPECT_TRUE(test::textRenders(dialog_->font()));
    const QImage image(test::saveScreenshot(*dialog_, "site_properties"));
    ASSERT_FALSE(image.isNull());
    int dark = 0;   // text and frames, darker than the background
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            dark += qGray(image.pixel(x, y)) < 96;
    EXPECT_GT(dark, 100);

    control<QTabWidget>("tabs")->setCurrentIndex(1);
    control<QComboBox>("cbResponse")->setCurrentIndex(4);
    EXPECT_FALSE(test::saveScreenshot(*dialog_, "site_properties_custom").isEmpty());
}

} // namespace
