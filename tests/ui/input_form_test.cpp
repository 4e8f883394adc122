#include "ui/input_form.h"

#include "modal.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace brisk;
using brisk::test::onNextModal;

namespace {

QLineEdit* editOf(QWidget* form)
{
    return form->findChild<QLineEdit*>("edText");
}

QCheckBox* maskOf(QWidget* form)
{
    return form->findChild<QCheckBox*>("cbMask");
}

QPushButton* buttonOf(QWidget* form, QDialogButtonBox::StandardButton which)
{
    return form->findChild<QDialogButtonBox*>()->button(which);
}

} // namespace

TEST(TInputForm, ShowsTitleLabelAndStartingText)
{
    TInputForm form({"Rename File", "Enter new File name :", "Grüße.txt", 255, false});
    EXPECT_EQ(form.windowTitle(), "Rename File");
    EXPECT_EQ(form.findChild<QLabel*>("lbPrompt")->text(), "Enter new File name :");
    EXPECT_EQ(editOf(&form)->text(), QString::fromUtf8("Grüße.txt"));
    EXPECT_EQ(form.text(), "Grüße.txt");
}

TEST(TInputForm, TheMaskBoxAppearsCheckedOnlyForSecretsAndTogglesTheEcho)
{
    TInputForm plain({"Create Directory", "Enter new directory name:", "", 255, false});
    EXPECT_TRUE(maskOf(&plain)->isHidden());
    EXPECT_EQ(editOf(&plain)->echoMode(), QLineEdit::Normal);

    TInputForm secret({"Password", "Enter password", "", 255, true});
    EXPECT_FALSE(maskOf(&secret)->isHidden());
    EXPECT_TRUE(maskOf(&secret)->isChecked());
    EXPECT_EQ(editOf(&secret)->echoMode(), QLineEdit::Password);
    maskOf(&secret)->click();
    EXPECT_EQ(editOf(&secret)->echoMode(), QLineEdit::Normal);
    maskOf(&secret)->click();
    EXPECT_EQ(editOf(&secret)->echoMode(), QLineEdit::Password);
}

TEST(TInputForm, TypingStopsAtTheMaximumLength)
{
    TInputForm form({"Mask", "Enter", "", 5, false});
    editOf(&form)->clear();
    QTest::keyClicks(editOf(&form), "abcdefgh");
    EXPECT_EQ(form.text(), "abcde");

    TInputForm prefilled({"Mask", "Enter", "0123456789", 4, false});
    EXPECT_EQ(prefilled.text(), "0123");
}

TEST(TInputForm, ConfirmingReturnsTheTextAndCancellingLeavesTheAnswerAlone)
{
    const struct {
        const char* how;
        std::function<void(QWidget*)> finish;
        bool confirmed;
    } cases[] = {
        {"Enter", [](QWidget* form) { QTest::keyClick(editOf(form), Qt::Key_Return); }, true},
        {"OK", [](QWidget* form) { buttonOf(form, QDialogButtonBox::Ok)->click(); }, true},
        {"Escape", [](QWidget* form) { QTest::keyClick(editOf(form), Qt::Key_Escape); }, false},
        {"Cancel", [](QWidget* form) { buttonOf(form, QDialogButtonBox::Cancel)->click(); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        onNextModal<TInputForm>([&](TInputForm* form) {
            editOf(form)->clear();
            QTest::keyClicks(editOf(form), "new name");
            c.finish(form);
        });
        std::string answer = "old";
        const bool confirmed = InputPrompt(nullptr, {"Rename", "Enter", "old", 255, false}, answer);
        EXPECT_EQ(confirmed, c.confirmed);
        EXPECT_EQ(answer, c.confirmed ? "new name" : "old");
    }
}
