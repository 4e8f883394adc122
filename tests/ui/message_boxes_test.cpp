#include "ui/message_boxes.h"

#include "modal.h"

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
