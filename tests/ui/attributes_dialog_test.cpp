// The attribute dialog: the boxes and the "Manual" edit over the form, and "File Attributes" from
// the Remote menu changing the modes on a real vsftpd.
#include "ui/attributes_dialog.h"
#include "modal.h"
#include "screenshots.h"
#include "window_fixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace brisk;
using brisk::test::onNextModal;
using brisk::test::waitFor;

namespace {

mode_t permissionsOf(const std::filesystem::path& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : mode_t(~0u);
}

QString symbolic(const T_ChMod& dialog)
{
    return dialog.findChild<QLabel*>("lbSymbolic")->text();
}

bool menuHas(const QMenu* menu, const QString& text)
{
    for (const QAction* entry : menu->actions())
        if (entry->text() == text)
            return true;
    return false;
}

// A mixed box, once clicked, goes between checked and unchecked only. Escape is "Cancel" (tag 2),
// and the form is not applied.
TEST(AttributesDialogTest, ClickedMixedBoxNeverMixedAgainAndEscapeCancels)
{
    AttributeForm form({{"a.txt", 644}, {"run.sh", 755}});
    T_ChMod dialog(form);
    onNextModal<T_ChMod>([](T_ChMod* d) {
        QList<Qt::CheckState> states;
        for (int click = 0; click < 3; ++click) {
            d->box(2)->click();
            states.push_back(d->box(2)->checkState());
        }
        EXPECT_EQ(states, (QList<Qt::CheckState>{Qt::Checked, Qt::Unchecked, Qt::Checked}));
        EXPECT_EQ(d->modeEdit()->text(), "744");
        EXPECT_FALSE(test::saveScreenshot(*d, "attributes_dialog_clicked").isEmpty());
        QTest::keyClick(d, Qt::Key_Escape);
    });
    EXPECT_EQ(dialog.exec(), AttributeForm::kCancelTag);
    EXPECT_TRUE(form.changes().empty());
}

class AttributesWindowTest : public test::WindowTest {};

TEST_F(AttributesWindowTest, FileAttributesFromTheMenuChangesTheModesOnDisk)
{
    if (!startVsftpd())
        GTEST_SKIP() << skipReason_;
    server_->writeDataFile("a.txt", "a");
    server_->writeDataFile("run.sh", "r");
    ::chmod((server_->dataDir() / "a.txt").c_str(), 0644);
    ::chmod((server_->dataDir() / "run.sh").c_str(), 0755);
    connect({"a.txt", "run.sh"});
    QMenu* remoteMenu = nullptr;
    for (QAction* entry : w().menuBar()->actions())
        if (entry->text() == "&Remote")
            remoteMenu = entry->menu();
    ASSERT_NE(remoteMenu, nullptr);
    EXPECT_TRUE(menuHas(remoteMenu, "File Attributes"));
    EXPECT_TRUE(menuHas(w().findChild<QMenu*>("pmRemote"), "File Attributes"));
    QAction* attributes = w().action("actFileAttributes");
    w().refreshViews();
    EXPECT_FALSE(attributes->isEnabled());

    select(w().FTPView, {"a.txt", "run.sh"});
    w().refreshViews();
    ASSERT_TRUE(attributes->isEnabled());
    QString opened;
    onNextModal<T_ChMod>([&](T_ChMod* d) {
        opened = d->windowTitle() + "|" + d->modeEdit()->text() + "|" + symbolic(*d);
        EXPECT_EQ(d->box(2)->checkState(), Qt::PartiallyChecked);
        QTest::keyClicks(d->modeEdit(), "89");
        EXPECT_EQ(d->modeEdit()->text(), "644");
        d->box(4)->click();   // group write, for both
        EXPECT_EQ(d->modeEdit()->text(), "664");
        EXPECT_EQ(symbolic(*d), "rw?rw?r-?");
        EXPECT_FALSE(test::saveScreenshot(*d, "attributes_dialog").isEmpty());
        d->findChild<QPushButton*>("btApply")->click();
    });
    attributes->trigger();
    EXPECT_EQ(opened, "Change File Attributes|644|rw?r-?r-?");
    ASSERT_TRUE(waitFor([&] { return log().contains("Attributes changed: 2, failed: 0") && session().canTransfer(); }))
        << log().toStdString();
    EXPECT_EQ(permissionsOf(server_->dataDir() / "a.txt"), mode_t(0664));
    EXPECT_EQ(permissionsOf(server_->dataDir() / "run.sh"), mode_t(0775));

    // A mode typed into the edit: every box follows it.
    ASSERT_TRUE(waitFor([&] { return captions(w().FTPView) == QStringList{"a.txt", "run.sh"}; }));
    select(w().FTPView, {"run.sh"});
    w().refreshViews();
    onNextModal<T_ChMod>([&](T_ChMod* d) {
        d->modeEdit()->selectAll();
        QTest::keyClicks(d->modeEdit(), "6940");
        EXPECT_EQ(d->modeEdit()->text(), "640");
        EXPECT_EQ(symbolic(*d), "rw-r-----");
        d->findChild<QPushButton*>("btApply")->click();
    });
    attributes->trigger();
    ASSERT_TRUE(waitFor([&] { return log().count("Attributes changed:") == 2 && session().canTransfer(); }))
        << log().toStdString();
    EXPECT_EQ(permissionsOf(server_->dataDir() / "run.sh"), mode_t(0640));
}

} // namespace
