// "Carriage Return" from the Local menu: the dialog, the files rewritten and their log lines.
#include "ui/carriage_return_dialog.h"

#include "screenshots.h"
#include "window_fixture.h"

#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>

#include <gtest/gtest.h>

using namespace brisk;
using brisk::test::onNextModal;
using brisk::test::waitFor;

namespace {

class CarriageReturnTest : public test::WindowTest {
protected:
    // The entry of the menu bar's Local menu.
    QAction* localMenuEntry(const QString& text)
    {
        for (QAction* menu : w().menuBar()->actions())
            if (menu->text() == "&Local")
                for (QAction* entry : menu->menu()->actions())
                    if (entry->text() == text)
                        return entry;
        return nullptr;
    }

    // Answers the dialog: the choice's button, then Apply or Cancel.
    void answer(const char* choice, const char* button)
    {
        onNextModal<T_Carrage>([choice, button](T_Carrage* dialog) {
            dialog->findChild<QRadioButton*>(choice)->click();
            dialog->findChild<QPushButton*>(button)->click();
        });
    }
};

TEST_F(CarriageReturnTest, TheLocalMenuConvertsTheSelectedFilesAndLogsEachOne)
{
    const std::string dir = home() + "texts";
    for (const char* name : {"a.txt", "b.txt"})
        writeFile(dir + "/" + name, "one\r\ntwo\r\n");
    std::filesystem::create_directories(dir + "/sub");
    ASSERT_TRUE(w().program().local.changeDirectory(dir));
    w().refreshViews();

    QAction* entry = localMenuEntry("Carriage Return");
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(w().findChild<QMenu*>("pmLocal")->actions().contains(entry));
    select(w().lvLoc, {"sub"});
    w().refreshViews();
    EXPECT_FALSE(entry->isEnabled()) << "offered for a directory alone";

    select(w().lvLoc, {"a.txt", "b.txt"});
    w().refreshViews();
    ASSERT_TRUE(entry->isEnabled());
    bool preselected = false;
    onNextModal<T_Carrage>([&preselected](T_Carrage* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Carriage Return");
        preselected = dialog->button(LineEnding::Unchanged)->isChecked();
        EXPECT_FALSE(test::saveScreenshot(*dialog, "carriage_return_dialog").isEmpty());
        dialog->findChild<QRadioButton*>("rbCr")->click();
        dialog->findChild<QPushButton*>("btCancel")->click();
    });
    entry->trigger();
    EXPECT_TRUE(preselected);
    EXPECT_EQ(readFile(dir + "/a.txt"), "one\r\ntwo\r\n");
    EXPECT_FALSE(log().contains("Converting file"));

    answer("rbLf", "btApply");
    entry->trigger();
    const QString lineA = QString::fromStdString("Converting file: " + dir + "/a.txt ... Ok!");
    const QString lineB = QString::fromStdString("Converting file: " + dir + "/b.txt ... Ok!");
    ASSERT_TRUE(waitFor([&] { return log().contains(lineB); })) << log().toStdString();
    EXPECT_TRUE(log().contains(lineA + "\n" + lineB));
    EXPECT_EQ(readFile(dir + "/a.txt"), "one\ntwo\n");
    EXPECT_EQ(readFile(dir + "/b.txt"), "one\ntwo\n");
}

} // namespace
