// The toolbar and menu icons: the desktop theme's where it has them, the program's own otherwise.
#include "ui/action_icons.h"
#include "window_fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QImage>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace brisk;

namespace {

// A shape on a clear ground, not a blank or a filled square: the pixels drawn in 24x24.
bool drawsSomething(const QIcon& icon)
{
    const QImage image = icon.pixmap(24, 24).toImage().convertToFormat(QImage::Format_ARGB32);
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            drawn += qAlpha(image.pixel(x, y)) > 0;
    return drawn > 24 && drawn < 24 * 24;
}

// No icon theme anywhere, as on a bare system, unless a test lays one out.
class ActionIconsTest : public test::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        QIcon::setThemeSearchPaths({});
        QIcon::setFallbackSearchPaths({});
    }
    void TearDown() override
    {
        QIcon::setThemeName(themeName_);
        QIcon::setThemeSearchPaths(themePaths_);
        QIcon::setFallbackSearchPaths(fallbackPaths_);
        WindowTest::TearDown();
    }

private:
    const QString themeName_ = QIcon::themeName();
    const QStringList themePaths_ = QIcon::themeSearchPaths();
    const QStringList fallbackPaths_ = QIcon::fallbackSearchPaths();
};

TEST_F(ActionIconsTest, EveryShippedIconDrawsAShape)
{
    const QStringList files = QDir(":/icons").entryList();
    ASSERT_GE(files.size(), 19);
    QWidget sheet;
    auto* grid = new QGridLayout(&sheet);
    for (int i = 0; i < files.size(); ++i) {
        const QIcon icon(":/icons/" + files[i]);
        EXPECT_TRUE(drawsSomething(icon)) << files[i].toStdString();
        auto* picture = new QLabel;
        picture->setPixmap(icon.pixmap(48, 48));
        grid->addWidget(picture, (i / 5) * 2, i % 5, Qt::AlignCenter);
        grid->addWidget(new QLabel(QFileInfo(files[i]).baseName()), (i / 5) * 2 + 1, i % 5, Qt::AlignCenter);
    }
    EXPECT_FALSE(test::saveScreenshot(sheet, "shipped_icons").isEmpty());
}

TEST_F(ActionIconsTest, AThemesIconComesFirstAndTheShippedOneFillsItsGaps)
{
    const QString theme = QString::fromStdString(home()) + "icons/Plain";
    ASSERT_TRUE(QDir().mkpath(theme + "/24x24/actions"));
    QFile index(theme + "/index.theme");
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.write("[Icon Theme]\nName=Plain\nDirectories=24x24/actions\n\n[24x24/actions]\nSize=24\nType=Fixed\n");
    index.close();
    QImage red(24, 24, QImage::Format_ARGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(theme + "/24x24/actions/network-connect.png"));
    QIcon::setThemeSearchPaths({QString::fromStdString(home()) + "icons"});
    QIcon::setThemeName("Plain");

    EXPECT_EQ(actionIcon("network-connect").pixmap(24, 24).toImage().pixelColor(12, 12), QColor(Qt::red));
    const QIcon stop = actionIcon("process-stop");
    EXPECT_TRUE(drawsSomething(stop));
    EXPECT_NE(stop.pixmap(24, 24).toImage().pixelColor(12, 12), QColor(Qt::red));
    EXPECT_TRUE(actionIcon("no-such-icon").isNull());
}

// Every toolbar button shows its icon, all but the two arrows a label too, and none is pushed off the
// bar into its overflow menu.
TEST_F(ActionIconsTest, TheToolbarShowsEveryCommandWithItsIconAndLabel)
{
    open();
    auto* bar = w().findChild<QToolBar*>("mainToolBar");
    int buttons = 0;
    for (QAction* act : bar->actions()) {
        if (act->isSeparator())
            continue;
        const std::string name = act->objectName().toStdString();
        EXPECT_TRUE(drawsSomething(act->icon())) << name;
        auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(act));
        ASSERT_NE(button, nullptr) << name;
        EXPECT_TRUE(button->isVisible()) << name << " is in the overflow menu";
        const bool arrow = act == w().action("actUpload") || act == w().action("actDownload");
        EXPECT_EQ(button->toolButtonStyle() == Qt::ToolButtonIconOnly, arrow) << name;
        ++buttons;
    }
    EXPECT_GE(buttons, 12);
    EXPECT_TRUE(test::textRenders(bar->font()));
    EXPECT_FALSE(test::saveScreenshot(w(), "main_window_icons").isEmpty());
}

} // namespace
