#include "i18n/window_messages.h"
#include "ui/input_form.h"
#include "ui/overwrite_dialog.h"
#include "ui/progress_window.h"
#include "modal.h"
#include "qt_wait.h"
#include "screenshots.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace brisk;
using brisk::test::onNextModal;

namespace {

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

TEST(OverwriteDialogTest, EscapeAndClosingAnswerCancelNeverResume)
{
    // Resume is tag 0, which is also what a plain QDialog::reject() returns.
    OverwritePrompt byEscape(OverwriteMessagesEnglish(), "/tmp/a.txt");
    byEscape.press(OverwriteChoice::Resume);   // a stale answer must not survive
    EXPECT_EQ(answer(byEscape, [](TFReWrite* d) { QTest::keyClick(d, Qt::Key_Escape); }), OverwriteChoice::Cancel);
    OverwritePrompt byClose(OverwriteMessagesEnglish(), "/tmp/a.txt");
    byClose.press(OverwriteChoice::Resume);
    EXPECT_EQ(answer(byClose, [](TFReWrite* d) { d->close(); }), OverwriteChoice::Cancel);
}

TEST(OverwriteDialogTest, ShowsTheFileAndEachButtonAnswersWithItsTag)
{
    for (int tag : {0, 1, 2, 3, 5}) {
        OverwritePrompt model(OverwriteMessagesEnglish(), "/home/user/report.txt");
        QString texts;
        const OverwriteChoice got = answer(model, [&texts, tag](TFReWrite* d) {
            texts = d->windowTitle() + "|" + labelText(*d, "lbNotice") + "|" + labelText(*d, "lbFileName") + "|" +
                    labelText(*d, "lbQuestion");
            d->button(OverwriteChoice(tag))->click();
        });
        EXPECT_EQ(int(got), tag);
        EXPECT_EQ(texts, "Rewrite Files Prompt|File already exists !|/home/user/report.txt|Overwrite the file ?");
    }
}

TEST(OverwriteDialogTest, CancelledSaveAsKeepsThePromptOpenAndAConfirmedOneGivesThePath)
{
    OverwritePrompt model(OverwriteMessagesEnglish(), "/data/old.txt");
    bool stillOpen = false;
    const OverwriteChoice got = answer(model, [&](TFReWrite* d) {
        onNextModal<TInputForm>([](TInputForm* form) {
            EXPECT_EQ(form->windowTitle(), "Save as ...");
            EXPECT_EQ(form->findChild<QLabel*>("lbPrompt")->text(), "New Path");
            EXPECT_EQ(form->findChild<QLineEdit*>("edText")->text(), "/data/old.txt");
            form->reject();
        });
        d->button(OverwriteChoice::SaveAs)->click();
        stillOpen = d->isVisible() && QApplication::activeModalWidget() == d;
        onNextModal<TInputForm>([](TInputForm* form) {
            auto* edit = form->findChild<QLineEdit*>("edText");
            edit->setText("/data/new.txt");
            form->accept();
        });
        d->button(OverwriteChoice::SaveAs)->click();
    });
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(got, OverwriteChoice::SaveAs);
    EXPECT_EQ(model.path(), "/data/new.txt");

    std::string path = "/data/x.txt";
    onNextModal<TFReWrite>([](TFReWrite* d) { d->button(OverwriteChoice::Skip)->click(); });
    EXPECT_EQ(AskOverwrite(nullptr, path), OverwriteChoice::Skip);
    EXPECT_EQ(path, "/data/x.txt");
}

TEST(ProgressWindowTest, BarScalesSizesBeyondThirtyTwoBits)
{
    const int64_t tenGiB = int64_t(10) << 30;
    EXPECT_EQ(TProgress::BarValue(tenGiB / 2, tenGiB), TProgress::kBarSteps / 2);
    EXPECT_EQ(TProgress::BarValue(tenGiB, tenGiB), TProgress::kBarSteps);
    EXPECT_EQ(TProgress::BarValue(INT64_MAX - 1, INT64_MAX), TProgress::kBarSteps - 1);
    EXPECT_EQ(TProgress::BarValue(5, 0), 0);
    EXPECT_EQ(TProgress::BarValue(-1, 10), 0);
    EXPECT_EQ(TProgress::BarValue(20, 10), TProgress::kBarSteps);
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
    ASSERT_TRUE(test::waitFor([&] { return window.repaints() > afterOpen; }));
    EXPECT_EQ(window.repaints(), afterOpen + 1);
    EXPECT_EQ(window.windowTitle(), "Receiving big.iso (3221225472 bytes)");
    EXPECT_EQ(labelText(window, "lbFileTransferred"), "819200000");
    EXPECT_EQ(labelText(window, "lbFileTime"), "0:00:02");
    EXPECT_EQ(window.findChild<QProgressBar*>("pbFile")->value(), TProgress::BarValue(819200000, int64_t(3) << 30));

    // Idle: no repaint at all.
    QTest::qWait(3 * TProgress::kRepaintMs);
    EXPECT_EQ(window.repaints(), afterOpen + 1);

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

} // namespace
