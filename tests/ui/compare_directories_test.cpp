// "Compare Directories" in the window against a real server: the entries in both panels' menus,
// and the rows that differ selected in both views with their status lines.
#include "file_io.h"
#include "screenshots.h"
#include "window_fixture.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>

using namespace brisk;
using brisk::test::setModifiedTime;
using brisk::test::waitFor;

namespace {

namespace fs = std::filesystem;

QStringList selectedCaptions(const FileListView* view)
{
    QStringList names;
    for (const QModelIndex& index : view->selectionModel()->selectedRows())
        names.push_back(index.data().toString());
    names.sort();
    return names;
}

// Whole hours east of UTC of the local zone at `time`.
int localZoneHours(std::time_t time)
{
    std::tm parts {};
    localtime_r(&time, &parts);
    return int(parts.tm_gmtoff / 3600);
}

class CompareDirectoriesTest : public test::WindowTest {};

TEST_F(CompareDirectoriesTest, SelectsWhatDiffersOnBothSides)
{
    if (!startVsftpd())
        GTEST_SKIP() << skipReason_;
    const std::time_t when = (std::time(nullptr) - 2 * 24 * 3600) / 60 * 60;
    const fs::path local = home() + "local";
    const fs::path remote = server_->dataDir();
    const std::pair<const char*, const char*> files[] = {
        {"same.txt", "same"}, {"size.txt", "1234"}, {"time.txt", "time"}, {"local.txt", "only here"}};
    for (const auto& [name, bytes] : files)
        writeFile((local / name).string(), bytes);
    for (const auto& [name, bytes] : {std::pair{"same.txt", "same"}, std::pair{"size.txt", "12345"},
                                      std::pair{"time.txt", "time"}, std::pair{"remote.txt", "only there"},
                                      std::pair{"docs/readme", "r"}})
        server_->writeDataFile(name, bytes);
    fs::create_directories(local / "docs");
    for (const fs::path& side : {local, remote})
        for (const char* name : {"same.txt", "size.txt", "time.txt", "docs"})
            setModifiedTime(side / name, when);
    setModifiedTime(local / "local.txt", when);
    setModifiedTime(remote / "remote.txt", when);
    setModifiedTime(remote / "time.txt", when + 300);

    QAction* compare = w().action("actCompareDirs");
    ASSERT_NE(compare, nullptr);
    EXPECT_EQ(compare->text(), "Compare Directories");
    for (const char* menu : {"pmLocal", "pmRemote"})
        EXPECT_TRUE(w().findChild<QMenu*>(menu)->actions().contains(compare)) << menu;
    int inMenuBar = 0;
    for (QAction* menu : w().menuBar()->actions())
        if (menu->text() == "&Local" || menu->text() == "&Remote")
            inMenuBar += menu->menu()->actions().contains(compare);
    EXPECT_EQ(inMenuBar, 2);
    EXPECT_FALSE(compare->isEnabled()) << "offered without a session";

    ASSERT_TRUE(w().program().local.changeDirectory(local.string()));
    connect({"docs", "remote.txt", "same.txt", "size.txt", "time.txt"});
    // vsftpd lists times in UTC; the local panel shows local time.
    w().program().settings.options.TimeZone = int16_t(session().CurrentSite().TimeZone + localZoneHours(when));
    select(w().lvLoc, {"docs", "same.txt"});
    ASSERT_TRUE(compare->isEnabled());
    compare->trigger();

    EXPECT_EQ(selectedCaptions(w().lvLoc), (QStringList{"local.txt", "size.txt", "time.txt"}));
    EXPECT_EQ(selectedCaptions(w().FTPView), (QStringList{"remote.txt", "size.txt", "time.txt"}));
    EXPECT_TRUE(w().localInfo->text().endsWith("in 3 file(s)")) << w().localInfo->text().toStdString();
    EXPECT_TRUE(w().remoteInfo->text().endsWith("in 3 file(s)")) << w().remoteInfo->text().toStdString();
    EXPECT_FALSE(test::saveScreenshot(w(), "compare_directories").isEmpty());
}

} // namespace
