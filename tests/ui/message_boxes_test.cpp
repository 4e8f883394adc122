#include "ui/certificate_dialog.h"
#include "ui/message_boxes.h"

#include "modal.h"
#include "screenshots.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace brisk;
using brisk::test::onNextModal;

TEST(MessageBoxes, AskYesNoIsTrueOnlyForYes)
{
    const struct {
        const char* how;
        std::function<void(QMessageBox*)> answer;
        bool expected;
    } cases[] = {
        {"Yes", [](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); }, true},
        {"No", [](QMessageBox* box) { box->button(QMessageBox::No)->click(); }, false},
        {"Escape", [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        QString caption, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        onNextModal<QMessageBox>([&](QMessageBox* box) {
            caption = box->windowTitle();
            text = box->text();
            icon = box->icon();
            EXPECT_NE(box->button(QMessageBox::Yes), nullptr);
            EXPECT_NE(box->button(QMessageBox::No), nullptr);
            c.answer(box);
        });
        EXPECT_EQ(AskYesNo(nullptr, "Attention", "Do you wish to remove"), c.expected);
        EXPECT_EQ(caption, "Attention");
        EXPECT_EQ(text, "Do you wish to remove");
        EXPECT_EQ(icon, QMessageBox::Question);
    }
}

TEST(MessageBoxes, MessagesShowCaptionTextAndTheirIcon)
{
    const struct {
        void (*show)(QWidget*, const std::string&, const std::string&);
        QMessageBox::Icon icon;
    } cases[] = {
        {&ShowMessage, QMessageBox::NoIcon},
        {&ShowError, QMessageBox::Critical},
    };
    for (const auto& c : cases) {
        QString caption, text;
        QMessageBox::Icon icon = QMessageBox::Question;
        onNextModal<QMessageBox>([&](QMessageBox* box) {
            caption = box->windowTitle();
            text = box->text();
            icon = box->icon();
            box->button(QMessageBox::Ok)->click();
        });
        c.show(nullptr, "Attention", "Can Not Create the Directory :/tmp/x");
        EXPECT_EQ(caption, "Attention");
        EXPECT_EQ(text, "Can Not Create the Directory :/tmp/x");
        EXPECT_EQ(icon, c.icon);
    }
}

TEST(MessageBoxes, NamesInTheTextAreNeverTakenForMarkup)
{
    Qt::TextFormat format = Qt::RichText;
    onNextModal<QMessageBox>([&](QMessageBox* box) {
        format = box->textFormat();
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_TRUE(AskYesNo(nullptr, "Attention", "Overwrite <b>report</b>.txt?"));
    EXPECT_EQ(format, Qt::PlainText);
}

// The certificate question in the window's language, as plain text whatever the certificate names.
TEST(MessageBoxes, CertificateQuestionAnswersAndSpeaksTheWindowsLanguage)
{
    CertificateQuestion question{"127.0.0.1:2121", "CN=<b>localhost</b>", "CN=localhost", "Dec  7 00:00:00 2026 GMT",
                                 "Dec  7 00:00:00 2027 GMT", "AB:CD", "self-signed certificate", false};
    MainMessages german;
    german.mslExtra.items()[xmsgCertificateTitle] = "Server-Zertifikat";
    german.mslExtra.items()[xmsgCertificateChanged] = "WARNUNG: Das Zertifikat von %1 hat sich geändert.";
    german.mslExtra.items()[xmsgCertificateSubject] = "Inhaber:";
    german.mslExtra.items()[xmsgTrustAlways] = "Immer vertrauen";
    const struct {
        const char* button; // by its text; empty: Escape
        CertificateAnswer expected;
    } cases[] = {{"Trust once", CertificateAnswer::Once}, {"Trust always", CertificateAnswer::Always},
                 {"", CertificateAnswer::Cancel}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        QString caption, text;
        onNextModal<QMessageBox>([&](QMessageBox* box) {
            caption = box->windowTitle();
            text = box->text();
            EXPECT_EQ(box->textFormat(), Qt::PlainText);
            ASSERT_FALSE(test::saveScreenshot(*box, "certificate_question").isEmpty());
            for (QAbstractButton* b : box->buttons())
                if (b->text() == c.button)
                    return b->click();
            QTest::keyClick(box, Qt::Key_Escape);
        });
        EXPECT_EQ(AskCertificate(nullptr, question, MainMessages{}), c.expected);
        EXPECT_EQ(caption, "Server certificate");
        EXPECT_EQ(text.toStdString(), "The certificate of 127.0.0.1:2121 is not trusted: self-signed certificate.\n"
                                      "Subject: CN=<b>localhost</b>\nIssuer: CN=localhost\n"
                                      "Valid from: Dec  7 00:00:00 2026 GMT\nValid until: Dec  7 00:00:00 2027 GMT\n"
                                      "SHA-256 fingerprint: AB:CD");
    }
    question.changed = true;
    QString caption, text;
    onNextModal<QMessageBox>([&](QMessageBox* box) {
        caption = box->windowTitle();
        text = box->text();
        ASSERT_FALSE(test::saveScreenshot(*box, "certificate_question_changed_german").isEmpty());
        for (QAbstractButton* b : box->buttons())
            if (b->text() == "Immer vertrauen")
                return b->click();
    });
    EXPECT_EQ(AskCertificate(nullptr, question, german), CertificateAnswer::Always);
    EXPECT_EQ(caption, "Server-Zertifikat");
    EXPECT_TRUE(text.startsWith("WARNUNG: Das Zertifikat von 127.0.0.1:2121 hat sich geändert.\nInhaber: CN=<b>"))
        << text.toStdString();
}
