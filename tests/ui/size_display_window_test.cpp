// The View menu's size display: what both panels show, the exact size in the tool tip, the stored choice.
#include "ui/file_list_model.h"
#include "ui/file_list_view.h"
#include "window_fixture.h"
#include "modal.h"
#include "qt_wait.h"
#include "screenshots.h"

#include <QAction>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace brisk;

namespace {

class SizeDisplayWindowTest : public test::WindowTest {
protected:
    // The size cell of a file of 1234567 bytes in the local panel.
    QModelIndex sizeCell()
    {
        const std::string dir = home() + "sizes";
        writeFile(dir + "/big.bin", std::string(1234567, 'x'));
        EXPECT_TRUE(w().program().local.changeDirectory(dir));
        w().refreshViews();
        const int row = int(test::captions(w().lvLoc->model()).indexOf("big.bin"));
        EXPECT_GE(row, 0);
        return w().lvLoc->model()->index(row, 1);
    }
    void restart()
    {
        test::onNextModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
        ASSERT_TRUE(w().close());
        open();
    }
};

TEST_F(SizeDisplayWindowTest, EachChoiceShowsInBothPanelsAndTheLastOneSurvivesARestart)
{
    QModelIndex cell = sizeCell();
    EXPECT_TRUE(w().action("actSizeGrouped")->isChecked()) << "the default";
    EXPECT_EQ(cell.data().toString(), "1 234 567");
    const struct {
        const char* action;
        const char* shown;
        SizeDisplay display;
    } choices[] = {{"actSizeBytes", "1234567", SizeDisplay::Bytes},
                   {"actSizeGrouped", "1 234 567", SizeDisplay::Grouped},
                   {"actSizeBinary", "1.18 MiB", SizeDisplay::Binary}};
    for (const auto& choice : choices) {
        w().action(choice.action)->trigger();
        EXPECT_EQ(cell.data().toString(), choice.shown);
        EXPECT_EQ(cell.data(Qt::ToolTipRole).toString(), "1234567 bytes") << choice.action;
        EXPECT_EQ(w().FTPView->rows()->sizeDisplay(), choice.display) << choice.action;
    }
    EXPECT_FALSE(test::saveScreenshot(w(), "main_sizes_binary").isEmpty());

    restart();
    cell = sizeCell();
    EXPECT_TRUE(w().action("actSizeBinary")->isChecked());
    EXPECT_FALSE(w().action("actSizeGrouped")->isChecked());
    EXPECT_EQ(cell.data().toString(), "1.18 MiB");
    EXPECT_EQ(w().FTPView->rows()->sizeDisplay(), SizeDisplay::Binary);
}

} // namespace
