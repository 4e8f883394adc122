// A long remote directory in the main window against a real vsftpd: the rows arrive, four-digit years
// are shown, and the Date header sorts by date and time with the header's arrow telling the direction.
// How long each step holds the window is the panel benchmark's to measure.
#include "file_io.h"
#include "window_fixture.h"

#include <QHeaderView>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <ctime>
#include <fstream>

using namespace brisk;
using brisk::test::setModifiedTime;
using brisk::test::waitFor;

namespace {

time_t utc(int year, int month, int day, int hour)
{
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    return ::timegm(&tm);
}

QString cell(const FileListView* view, const QString& caption, int column)
{
    const int row = int(test::captions(view->model()).indexOf(caption));
    return row < 0 ? QString() : view->model()->index(row, column).data().toString();
}

class ListingViewTest : public test::WindowTest {};

TEST_F(ListingViewTest, TwentyThousandRowsArriveAndSortByDate)
{
    if (!startVsftpd())
        GTEST_SKIP() << skipReason_;
    const std::filesystem::path dir = server_->dataDir();
    constexpr int kFiles = 20000;
    for (int i = 0; i < kFiles; ++i) {
        const std::filesystem::path file = dir / ("f" + std::to_string(100000 + i) + ".txt");
        std::ofstream(file) << i;
        setModifiedTime(file, utc(2001, 3, 4, 12));
    }
    // Two files of one day three days ago, at 09:00 and 15:00; and two of long ago.
    const time_t day = (std::time(nullptr) / 86400 - 3) * 86400;
    for (const auto& [name, when] : {std::pair<const char*, time_t>{"early.txt", day + 9 * 3600},
                                     {"late.txt", day + 15 * 3600},
                                     {"epoch.txt", 0},
                                     {"old.txt", utc(1975, 6, 15, 12)}}) {
        std::ofstream(dir / name) << name;
        setModifiedTime(dir / name, when);
    }

    createSite();
    select(w().FTPView, {"Local vsftpd"});
    emit w().FTPView->activated(w().FTPView->currentIndex());
    ASSERT_TRUE(waitFor([&] { return w().FTPView->model()->rowCount() == kFiles + 4; }, 60000)) << log().toStdString();

    EXPECT_EQ(cell(w().FTPView, "epoch.txt", 2), "01.01.1970");
    EXPECT_EQ(cell(w().FTPView, "old.txt", 2), "15.06.1975");
    EXPECT_EQ(cell(w().FTPView, "early.txt", 3), "09:00");

    QHeaderView* header = w().FTPView->header();
    emit header->sectionClicked(2);
    const QStringList newestFirst = captions(w().FTPView);
    EXPECT_EQ(newestFirst.mid(0, 2), QStringList({"late.txt", "early.txt"}));
    EXPECT_EQ(newestFirst.mid(kFiles + 2), QStringList({"old.txt", "epoch.txt"}));
    EXPECT_EQ(header->sortIndicatorSection(), 2);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);

    emit header->sectionClicked(2);
    const QStringList oldestFirst = captions(w().FTPView);
    EXPECT_EQ(oldestFirst.mid(0, 2), QStringList({"epoch.txt", "old.txt"}));
    EXPECT_EQ(oldestFirst.mid(kFiles + 2), QStringList({"early.txt", "late.txt"}));
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
    EXPECT_TRUE(header->isSortIndicatorShown());
}

} // namespace
