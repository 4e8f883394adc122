// The dialogs on their own, without the main window: message boxes, the certificate question, the text
// prompt, the text viewer, the overwrite prompt, the progress window, the file choosers' filters and the
// site dialog (whose model's rules are tests/unit/site_properties_test.cpp).
#include "i18n/window_messages.h"
#include "sites/custom_layouts.h"
#include "sites/site_properties.h"
#include "ui/certificate_dialog.h"
#include "ui/file_choosers.h"
#include "ui/message_boxes.h"
#include "ui/overwrite_dialog.h"
#include "ui/progress_window.h"
#include "ui/qt_user_interface.h"
#include "ui/text_viewer.h"
#include "site_fixtures.h"
#include "window_fixture.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QImage>
#include <QListWidget>
#include <QProgressBar>
#include <QTabWidget>

namespace brisk::test {
namespace {

// What a message box showed: caption|text, its icon and text format.
struct Shown {
    QString texts;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::TextFormat format = Qt::AutoText;
    bool operator==(const Shown&) const = default;
    friend void PrintTo(const Shown& shown, std::ostream* out)
    {
        *out << shown.texts.toStdString() << " icon " << shown.icon << " format " << shown.format;
    }
};

// Records the next message box and answers it with `answer`.
void onNextBox(Shown& shown, std::function<void(QMessageBox*)> answer)
{
    onNextModal<QMessageBox>([&shown, answer](QMessageBox* box) {
        shown = {box->windowTitle() + "|" + box->text(), box->icon(), box->textFormat()};
        answer(box);
    });
}

void clickButton(QMessageBox* box, const QString& text)
{
    for (QAbstractButton* button : box->buttons())
        if (button->text() == text)
            return button->click();
    QTest::keyClick(box, Qt::Key_Escape);
}

// Every box shows its caption, its text as plain text and its icon; only Yes is a yes.
TEST(MessageBoxes, EachKindShowsItsIconAndOnlyYesIsAYes)
{
    const std::string caption = "Attention", text = "Overwrite <b>report</b>.txt?";
    const auto ask = [&] { return AskYesNo(nullptr, caption, text); };
    const auto show = [&](auto function) {
        return [&caption, &text, function] {
            function(nullptr, caption, text);
            return false;
        };
    };
    const auto press = [](QMessageBox::StandardButton button) {
        return [button](QMessageBox* box) { box->button(button)->click(); };
    };
    const struct {
        std::function<bool()> call;
        std::function<void(QMessageBox*)> answer;
        QMessageBox::Icon icon;
        bool expected;
    } cases[] = {
        {ask, press(QMessageBox::Yes), QMessageBox::Question, true},
        {ask, press(QMessageBox::No), QMessageBox::Question, false},
        {ask, [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); }, QMessageBox::Question, false},
        {show(&ShowMessage), press(QMessageBox::Ok), QMessageBox::NoIcon, false},
        {show(&ShowError), press(QMessageBox::Ok), QMessageBox::Critical, false},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        Shown shown;
        onNextBox(shown, cases[i].answer);
        EXPECT_EQ(cases[i].call(), cases[i].expected) << i;
        EXPECT_EQ(shown, (Shown{"Attention|Overwrite <b>report</b>.txt?", cases[i].icon, Qt::PlainText})) << i;
    }
}

// The certificate question in the window's language, as plain text whatever the certificate names.
TEST(MessageBoxes, CertificateQuestionAnswersAndSpeaksTheWindowsLanguage)
{
    CertificateQuestion question{"127.0.0.1:2121", "CN=<b>localhost</b>", "CN=localhost", "Dec  7 00:00:00 2026 GMT",
                                 "Dec  7 00:00:00 2027 GMT", "AB:CD", "self-signed certificate", false};
    const std::pair<const char*, CertificateAnswer> cases[] = {
        {"Trust once", CertificateAnswer::Once}, {"Trust always", CertificateAnswer::Always}, {"", CertificateAnswer::Cancel}};
    Shown shown;
    for (const auto& [button, expected] : cases) {
        onNextBox(shown, [button](QMessageBox* box) {
            EXPECT_FALSE(saveScreenshot(*box, "certificate_question").isEmpty());
            clickButton(box, button);
        });
        EXPECT_EQ(AskCertificate(nullptr, question, MainMessages{}), expected) << button;
    }
    EXPECT_EQ(shown.format, Qt::PlainText);
    EXPECT_EQ(shown.texts.toStdString(),
              "Server certificate|The certificate of 127.0.0.1:2121 is not trusted: self-signed certificate.\n"
              "Subject: CN=<b>localhost</b>\nIssuer: CN=localhost\n"
              "Valid from: Dec  7 00:00:00 2026 GMT\nValid until: Dec  7 00:00:00 2027 GMT\n"
              "SHA-256 fingerprint: AB:CD");
    MainMessages german;
    german.mslExtra.items()[xmsgCertificateTitle] = "Server-Zertifikat";
    german.mslExtra.items()[xmsgCertificateChanged] = "WARNUNG: Das Zertifikat von %1 hat sich geändert.";
    german.mslExtra.items()[xmsgCertificateSubject] = "Inhaber:";
    german.mslExtra.items()[xmsgTrustAlways] = "Immer vertrauen";
    question.changed = true;
    onNextBox(shown, [](QMessageBox* box) {
        EXPECT_FALSE(saveScreenshot(*box, "certificate_question_changed_german").isEmpty());
        clickButton(box, "Immer vertrauen");
    });
    EXPECT_EQ(AskCertificate(nullptr, question, german), CertificateAnswer::Always);
    EXPECT_TRUE(shown.texts.startsWith(
        "Server-Zertifikat|WARNUNG: Das Zertifikat von 127.0.0.1:2121 hat sich geändert.\nInhaber: CN=<b>"))
        << shown.texts.toStdString();
}

QLineEdit* editOf(QWidget* form) { return form->findChild<QLineEdit*>("edText"); }

TEST(TInputForm, ConfirmingReturnsTheTextAndCancellingLeavesTheAnswerAlone)
{
    auto button = [](QWidget* form, QDialogButtonBox::StandardButton which) {
        return form->findChild<QDialogButtonBox*>()->button(which);
    };
    const struct {
        const char* how;
        std::function<void(QWidget*)> finish;
        bool confirmed;
    } cases[] = {
        {"Enter", [](QWidget* form) { QTest::keyClick(editOf(form), Qt::Key_Return); }, true},
        {"OK", [&](QWidget* form) { button(form, QDialogButtonBox::Ok)->click(); }, true},
        {"Escape", [](QWidget* form) { QTest::keyClick(editOf(form), Qt::Key_Escape); }, false},
        {"Cancel", [&](QWidget* form) { button(form, QDialogButtonBox::Cancel)->click(); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        QString shown;
        onNextModal<TInputForm>([&](TInputForm* form) {
            shown = form->windowTitle() + "|" + form->findChild<QLabel*>("lbPrompt")->text() + "|" + editOf(form)->text();
            type(editOf(form), "new name");
            c.finish(form);
        });
        std::string answer = "Grüße.txt";
        EXPECT_EQ(InputPrompt(nullptr, {"Rename File", "Enter new File name :", answer, 255, false}, answer), c.confirmed);
        EXPECT_EQ(shown, QString::fromUtf8("Rename File|Enter new File name :|Grüße.txt"));
        EXPECT_EQ(answer, c.confirmed ? "new name" : "Grüße.txt");
    }
}

TEST(TInputForm, TheMaskBoxIsForSecretsAndTypingStopsAtTheMaximumLength)
{
    TInputForm plain({"Create Directory", "Enter new directory name:", "", 5, false});
    EXPECT_TRUE(plain.findChild<QCheckBox*>("cbMask")->isHidden());
    EXPECT_EQ(editOf(&plain)->echoMode(), QLineEdit::Normal);
    QTest::keyClicks(editOf(&plain), "abcdefgh");
    EXPECT_EQ(plain.text(), "abcde");
    EXPECT_EQ(TInputForm({"Mask", "Enter", "0123456789", 4, false}).text(), "0123");

    TInputForm secret({"Password", "Enter password", "", 255, true});
    auto* mask = secret.findChild<QCheckBox*>("cbMask");
    EXPECT_TRUE(!mask->isHidden() && mask->isChecked());
    EXPECT_EQ(editOf(&secret)->echoMode(), QLineEdit::Password);
    mask->click();
    EXPECT_EQ(editOf(&secret)->echoMode(), QLineEdit::Normal);
}

class TextViewerTest : public TempHomeTest {};

// The file as UTF-8, read only, titled with its name; a missing one is reported in a box, not shown.
TEST_F(TextViewerTest, ShowsTheFileAsUtf8AndReportsAMissingOne)
{
    const char bytes[] = "Grüße\r\nline\0two\n\xff end";
    writeFile(home() + "notes.txt", std::string(bytes, sizeof bytes - 1));
    TextViewer viewer;
    ASSERT_TRUE(viewer.load(home() + "notes.txt"));
    viewer.show();
    EXPECT_FALSE(saveScreenshot(viewer, "text_viewer").isEmpty());
    EXPECT_EQ(viewer.windowTitle(), "notes.txt");
    EXPECT_TRUE(viewer.findChild<QPlainTextEdit*>("meText")->isReadOnly());
    EXPECT_TRUE(viewer.text().startsWith(QString::fromUtf8("Grüße")));
    EXPECT_TRUE(viewer.text().contains(QChar(0xFFFD))) << "an invalid byte shows as the replacement character";
    EXPECT_TRUE(viewer.text().endsWith(" end"));
    viewer.close();

    EXPECT_FALSE(TextViewer().load(home() + "missing.txt"));
    Shown shown;
    onNextBox(shown, [](QMessageBox* box) { box->accept(); });
    QtUserInterface().ViewTextFile(home() + "missing.txt");
    EXPECT_TRUE(shown.texts.endsWith(QString::fromStdString("|Read file error :" + home() + "missing.txt")));
    for (QWidget* window : QApplication::topLevelWidgets())
        EXPECT_FALSE(qobject_cast<TextViewer*>(window) && window->isVisible());
}

QString labelText(const QWidget& window, const char* name)
{
    const auto* label = window.findChild<QLabel*>(name);
    return label ? label->text() : QString("<no %1>").arg(name);
}

// The answer of the overwrite prompt after `act` runs on it while it is open.
OverwriteChoice answer(OverwritePrompt& model, const std::function<void(TFReWrite*)>& act)
{
    TFReWrite dialog(model);
    onNextModal<TFReWrite>(act);
    dialog.exec();
    return model.choice();
}

TEST(OverwriteDialogTest, EachButtonAnswersWithItsTagAndEscapeOrClosingCancel)
{
    for (int tag : {0, 1, 2, 3, 5}) {
        OverwritePrompt model(OverwriteMessagesEnglish(), "/home/user/report.txt");
        QString texts;
        EXPECT_EQ(int(answer(model, [&texts, tag](TFReWrite* d) {
                      texts = d->windowTitle() + "|" + labelText(*d, "lbNotice") + "|" + labelText(*d, "lbFileName") +
                              "|" + labelText(*d, "lbQuestion");
                      d->button(OverwriteChoice(tag))->click();
                  })),
                  tag);
        EXPECT_EQ(texts, "Rewrite Files Prompt|File already exists !|/home/user/report.txt|Overwrite the file ?");
    }
    // Resume is tag 0, which is also what a plain QDialog::reject() returns; a stale answer must not survive.
    using Act = std::function<void(TFReWrite*)>;
    for (const Act& close : {Act([](TFReWrite* d) { QTest::keyClick(d, Qt::Key_Escape); }), Act(&QWidget::close)}) {
        OverwritePrompt model(OverwriteMessagesEnglish(), "/tmp/a.txt");
        model.press(OverwriteChoice::Resume);
        EXPECT_EQ(answer(model, close), OverwriteChoice::Cancel);
    }
}

TEST(ProgressWindowTest, BarScalesSizesBeyondThirtyTwoBits)
{
    const int64_t tenGiB = int64_t(10) << 30;
    const std::tuple<int64_t, int64_t, int> cases[] = {{tenGiB / 2, tenGiB, TProgress::kBarSteps / 2},
                                                       {tenGiB, tenGiB, TProgress::kBarSteps},
                                                       {INT64_MAX - 1, INT64_MAX, TProgress::kBarSteps - 1},
                                                       {5, 0, 0},
                                                       {-1, 10, 0},
                                                       {20, 10, TProgress::kBarSteps}};
    for (const auto& [position, maximum, value] : cases)
        EXPECT_EQ(TProgress::BarValue(position, maximum), value) << position << "/" << maximum;
}

// A flood of progress events costs no painting: the figures reach the widgets from the timer only,
// at most every 100 ms, and not at all while nothing changes.
TEST(ProgressWindowTest, ProgressEventsRepaintAtMostTenTimesASecond)
{
    uint64_t now = 0;
    int cancels = 0;
    TProgress window([&cancels] { ++cancels; }, nullptr, {}, [&now] { return now; });
    ProgressSink& sink = window.sink();
    sink.open();
    ASSERT_TRUE(window.isVisible());
    sink.startFile("/home/user/big.iso", int64_t(3) << 30, false);
    const uint64_t afterOpen = window.repaints();
    for (int64_t i = 1; i <= 200000; ++i) {
        now = uint64_t(i / 100);
        sink.update(i * 4096);
    }
    EXPECT_EQ(window.repaints(), afterOpen) << "painted from update()";
    ASSERT_TRUE(waitFor([&] { return window.repaints() > afterOpen; }));
    EXPECT_EQ(window.repaints(), afterOpen + 1);
    EXPECT_EQ(window.windowTitle() + "|" + labelText(window, "lbFileTransferred") + "|" + labelText(window, "lbFileTime"),
              "Receiving big.iso (3221225472 bytes)|819200000|0:00:02");
    EXPECT_EQ(window.findChild<QProgressBar*>("pbFile")->value(), TProgress::BarValue(819200000, int64_t(3) << 30));
    QTest::qWait(3 * TProgress::kRepaintMs);
    EXPECT_EQ(window.repaints(), afterOpen + 1) << "repainted while idle";

    // Escape and the Cancel button ask for Stop; the window stays until the transfer closes it.
    window.findChild<QPushButton*>("btCancel")->click();
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_EQ(cancels, 2);
    EXPECT_TRUE(window.isVisible());
    sink.close();
    EXPECT_FALSE(window.isVisible());
    QTest::qWait(2 * TProgress::kRepaintMs);
    EXPECT_EQ(window.repaints(), afterOpen + 1) << "the timer runs on while the window is closed";
}

TEST(QtFileFilter, MapsDescriptionsAndPatternsToQtsForm)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Pictures (*.png;*.jpg)|*.png;*.jpg", "Pictures (*.png *.jpg)"},
        {"Logs|*.log|Dangling", "Logs (*.log)"},
    };
    for (const auto& [filter, qt] : cases)
        EXPECT_EQ(QtFileFilter(filter), qt) << filter;
}

class SitePropertiesDialogTest : public TempHomeTest {
protected:
    template <class T = QLineEdit>
    T* control(const char* name) { return child<T>(dialog_.get(), name); }
    void click(const char* name) { control<QPushButton>(name)->click(); }

    void open(const char* name = "", const char* server = "", const char* initialDir = "")
    {
        TFTPServerInfo site = newDefaultSite();
        site.Name = name;
        site.Server = server;
        site.InitialDir = initialDir;
        model_ = std::make_unique<SiteProperties>(site, fixedZones());
        dialog_ = std::make_unique<TFFtpBase>(*model_);
        dialog_->show();
    }

    // Answers the next layout prompt with `name`; `seen` is its title and starting text.
    static void answerPrompt(const QString& name, QString& seen)
    {
        onNextModal<TInputForm>([name, &seen](TInputForm* form) {
            seen = form->windowTitle() + "|" + editOf(form)->text();
            editOf(form)->setText(name);
            form->accept();
        });
    }

    std::unique_ptr<SiteProperties> model_;
    std::unique_ptr<TFFtpBase> dialog_;
};

TEST_F(SitePropertiesDialogTest, SavingStoresWhatWasTypedAndCloses)
{
    open();
    const std::pair<const char*, const char*> fields[] = {
        {"edName", "Mirror"}, {"edServer", "ftp.example.org"}, {"edPort", "2121"}, {"edUser", "anna"}, {"edPassword", "s3cret"}};
    for (const auto& [name, text] : fields)
        type(control(name), text);
    control<QCheckBox>("cbPasv")->setChecked(true);
    control<QComboBox>("cbZones")->setCurrentIndex(2);
    control<QPlainTextEdit>("meDesc")->setPlainText("first\nsecond");
    click("btSave");

    EXPECT_EQ(dialog_->result(), QDialog::Accepted);
    EXPECT_FALSE(dialog_->isVisible());
    const TFTPServerInfo& saved = model_->result();
    EXPECT_EQ(saved.Name + "|" + saved.Server + "|" + saved.Port + "|" + saved.User + "|" + saved.Password + "|" +
                  std::to_string(saved.Pasv) + "|" + std::to_string(saved.TimeZoneV) + "|" + saved.Desc,
              "Mirror|ftp.example.org|2121|anna|s3cret|1|2|first`second");
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
        open();
        type(control("edName"), c.name);
        type(control("edServer"), c.server);
        type(control("edPort"), c.port);
        Shown shown;
        onNextBox(shown, [](QMessageBox* box) { box->accept(); });
        click("btSave");
        EXPECT_EQ(shown, (Shown{QString("Attention|") + c.error, QMessageBox::Critical, Qt::PlainText}));
        EXPECT_TRUE(dialog_->isVisible());
        EXPECT_FALSE(model_->answerFileWritten());
    }
}

TEST_F(SitePropertiesDialogTest, ControlsFollowTheModelsRulesAndTextRenders)
{
    open("Mirror", "ftp.example.org", "pub");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog_.get()));
    EXPECT_TRUE(textRenders(dialog_->font()));
    const QImage image(saveScreenshot(*dialog_, "site_properties"));
    ASSERT_FALSE(image.isNull());
    int dark = 0;   // text and frames, darker than the background
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            dark += qGray(image.pixel(x, y)) < 96;
    EXPECT_GT(dark, 100);

    control<QCheckBox>("cbAno")->click();
    EXPECT_FALSE(control("edUser")->isEnabled() || control("edPassword")->isEnabled());
    EXPECT_TRUE(control("edEmail")->isEnabled());
    control<QCheckBox>("cbAno")->click();
    EXPECT_TRUE(control("edUser")->isEnabled());
    EXPECT_FALSE(control("edEmail")->isEnabled());
    control<QCheckBox>("cbAddSlash")->click();
    EXPECT_EQ(control("edInitDir")->text(), "/pub");

    auto* response = control<QComboBox>("cbResponse");
    for (int code = response->count() - 1; code >= 0; --code) {
        response->setCurrentIndex(code);
        EXPECT_EQ(control<QGroupBox>("gbCustom")->isHidden(), code != 4) << code;
    }
    control<QTabWidget>("tabs")->setCurrentIndex(1);
    response->setCurrentIndex(4);
    EXPECT_FALSE(saveScreenshot(*dialog_, "site_properties_custom").isEmpty());

    EXPECT_EQ(control("edPassword")->echoMode(), QLineEdit::Password);
    control<QCheckBox>("cbMaskPsw")->click();
    EXPECT_EQ(control("edPassword")->echoMode(), QLineEdit::Normal);
    click("btSave");
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
    EXPECT_FALSE(control("edPos0")->isEnabled());

    QString seen;
    answerPrompt("Listing A", seen);
    click("btAdd");
    EXPECT_TRUE(seen.startsWith("New Host Type|")) << seen.toStdString();
    ASSERT_EQ(layouts->count(), 3);
    EXPECT_EQ(layouts->currentRow(), 2);
    EXPECT_TRUE(control("edPos0")->isEnabled());
    layouts->setCurrentRow(1);
    EXPECT_EQ(control("edPos5")->text(), "6");
    answerPrompt("Listing C", seen);
    click("btEdit");
    EXPECT_EQ(seen, "Edit Host Type|Listing B");
    EXPECT_EQ(layouts->item(1)->text(), "Listing C");
    layouts->setCurrentRow(2);
    click("btDelete");
    ASSERT_EQ(layouts->count(), 2);
    EXPECT_EQ(layouts->currentRow(), 1);

    type(control("edPos0"), "1a2");
    EXPECT_EQ(control("edPos0")->text(), "2") << "the model's key rule";
    const char* positions[] = {"9", "5", "7", "6", "8", "1"};
    for (int i = 0; i < 6; ++i)
        type(control(QString("edPos%1").arg(i).toLatin1().constData()), positions[i]);
    click("btSave");
    EXPECT_EQ(model_->result().Answer + "|" + model_->result().AnswerName, "4957681|Listing C");
    EXPECT_EQ(readFile(AnswerFilePath()), "\"Default\",0957681\n\"Listing C\",4957681\n");
}

// As the window's New Server and Server Properties run it: Cancel and Escape leave the site and close the model.
TEST_F(SitePropertiesDialogTest, CancelAndEscapeLeaveTheSiteAndCloseTheModel)
{
    for (bool escape : {false, true}) {
        TFTPServerInfo site = newDefaultSite();
        site.Name = "Mirror";
        SiteProperties model(site, fixedZones());
        onNextModal<TFFtpBase>([escape](TFFtpBase* dialog) {
            type(child<QLineEdit>(dialog, "edName"), "Changed");
            if (escape)
                QTest::keyClick(dialog, Qt::Key_Escape);
            else
                child<QPushButton>(dialog, "btCancel")->click();
        });
        EXPECT_FALSE(QtUserInterface().EditSite(model)) << escape;
        EXPECT_EQ(model.result().Name, "Mirror");
        EXPECT_TRUE(model.answerFileWritten()) << "the model was closed";
    }
}


} // namespace
} // namespace brisk::test
