// How the main window copes with long remote listings, for 20,000 and 1,000,000 entries (or the
// counts given as arguments). Each size runs in its own child process (QT_QPA_PLATFORM=offscreen
// unless set) against a scripted server on loopback that serves the listing from memory:
//   - show: from the open until the rows are in the view, and the longest the window's event loop
//     went without serving a 5 ms timer (its longest freeze) after the last byte arrived;
//   - sort: a click on the Date header (date and time) and on the Filename header, each measured as
//     the window time until the view is repainted;
//   - stop (listings over 10 MB): the listing trickles in at about 50 MB/s, Stop is pressed 300 ms
//     into it, and the time until the session is idle again;
//   - peak RSS of the process.
#include "platform/event_loop.h"
#include "tree_ftp_peer.h"
#include "ui/file_list_view.h"
#include "ui/main_window.h"
#include "ui/qt_loop_driver.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QTimer>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::string unixListing(size_t count)
{
    std::string text;
    text.reserve(count * 72);
    char line[160];
    for (size_t i = 0; i < count; ++i) {
        const bool dir = i % 10 == 0;
        char when[8];
        if (i % 3 == 0)
            std::snprintf(when, sizeof when, " %d", 1990 + int(i % 30));
        else
            std::snprintf(when, sizeof when, "%02zu:%02zu", i % 24, i * 7 % 60);
        const int n = std::snprintf(line, sizeof line, "%s   1 ftpuser  ftpgroup %10zu %s %2zu %s %s%zu%s\r\n",
                                    dir ? "drwxr-xr-x" : "-rw-r--r--", i * 37 % 100000000, kMonths[i % 12],
                                    i % 28 + 1, when, dir ? "directory_" : "file_", i * 7919 % count,
                                    dir ? "" : ".txt");
        text.append(line, size_t(n));
    }
    return text;
}

long peakRssMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// The longest time the event loop went without serving a 5 ms timer, since the last reset.
class FreezeMeter {
public:
    FreezeMeter()
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            longest_ = std::max(longest_, clock_.restart());
        });
        clock_.start();
        timer_.start(5);
    }
    void reset()
    {
        clock_.restart();
        longest_ = 0;
    }
    qint64 longestMs() const { return longest_; }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 longest_ = 0;
};

bool runUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    return done();
}

brisk::TFTPServerInfo siteFor(uint16_t port)
{
    brisk::TFTPServerInfo site;
    brisk::InitSiteDefaults(site, {});
    site.Name = "bench";
    site.Server = "127.0.0.1";
    site.Port = std::to_string(port);
    site.User = "bench";
    site.Password = "bench";
    site.Pasv = 1;
    return site;
}

double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Window time of a header click until the view has painted the new order, and the CPU time the
// window's thread spent on it (which other load on the machine does not inflate).
struct Click {
    double ms;
    double cpuMs;
};

Click headerClick(brisk::T_Main& window, int column)
{
    QElapsedTimer clock;
    clock.start();
    const double cpuStart = threadCpuMs();
    emit window.FTPView->header()->sectionClicked(column);
    window.FTPView->viewport()->repaint();
    return {double(clock.nsecsElapsed()) / 1e6, threadCpuMs() - cpuStart};
}

int showAndSort(size_t count, brisk::T_Main& window, const std::string& listing)
{
    brisk::test::TreeFtpPeer server;
    server.setRawListing("/", listing);
    brisk::SessionController& session = window.program().session;
    const size_t rows = std::count(listing.begin(), listing.end(), '\n');
    FreezeMeter meter;
    QElapsedTimer clock;
    clock.start();
    session.OpenSite(siteFor(server.port()));
    if (!runUntil([&] { return size_t(window.FTPView->model()->rowCount()) == rows; }, 600000))
        return std::fprintf(stderr, "the %zu rows were not shown\n", rows), 1;
    const qint64 shownMs = clock.elapsed();
    const qint64 freezeMs = meter.longestMs();
    const int viewRows = window.FTPView->model()->rowCount();
    const Click byDate = headerClick(window, 2);
    const Click byName = headerClick(window, 0);
    std::printf("%8zu entries: %d rows shown %lld ms after the open, longest freeze %lld ms; "
                "sort by date %.0f ms (CPU %.0f ms), by name %.0f ms (CPU %.0f ms); peak RSS %ld MB\n",
                count, viewRows, (long long)shownMs, (long long)freezeMs, byDate.ms, byDate.cpuMs, byName.ms,
                byName.cpuMs, peakRssMb());
    session.Disconnect();
    return 0;
}

int stopDuringListing(size_t count, brisk::T_Main& window, const std::string& listing)
{
    brisk::test::TreeFtpPeer server;
    server.peer().on("LIST", [&listing](brisk::test::PeerSession& s, const std::string&) {
        s.send("150 Listing.\r\n");
        s.acceptData();
        constexpr size_t kPiece = 1 << 20;
        for (size_t at = 0; at < listing.size(); at += kPiece) {
            s.sendData(std::string_view(listing).substr(at, kPiece));
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        s.closeData();
        s.send("226 Done.\r\n");
    });
    brisk::SessionController& session = window.program().session;
    session.OpenSite(siteFor(server.port()));
    if (!runUntil([&] { return session.listingLoading() && session.listingBytes() > 0; }, 20000))
        return std::fprintf(stderr, "the listing did not start (loading %d, %lld bytes)\n%s\n",
                            int(session.listingLoading()), (long long)session.listingBytes(),
                            window.logPane->toPlainText().toStdString().c_str()), 1;
    runUntil([] { return false; }, 300);
    QElapsedTimer clock;
    clock.start();
    window.action("actStop")->trigger();
    const bool idle = runUntil([&] { return !session.listingLoading(); }, 60000);
    std::printf("%8zu entries: Stop 300 ms into the listing, idle again after %lld ms%s\n", count,
                (long long)clock.elapsed(), idle ? "" : " (did not stop)");
    return idle ? 0 : 1;
}

int runOne(size_t count, int argc, char** argv)
{
    const std::filesystem::path home = std::filesystem::temp_directory_path() /
                                       ("brisklane-panel-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(home);
    setenv("BRISKLANE_HOME", home.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::string listing = unixListing(count);
    QApplication app(argc, argv);
    brisk::QtLoopDriver driver(brisk::EventLoop::instance());
    int status = 0;
    {
        brisk::T_Main window;
        window.resize(1000, 700);
        window.show();
        QApplication::processEvents();
        status = showAndSort(count, window, listing);
        runUntil([&] { return window.program().session.SiteListMode(); }, 10000);
        // A short listing is over before Stop could be pressed into it.
        if (status == 0 && listing.size() > (10u << 20))
            status = stopDuringListing(count, window, listing);
    }
    std::fflush(stdout);
    std::filesystem::remove_all(home);
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<size_t> counts;
    for (int i = 1; i < argc; ++i)
        counts.push_back(std::strtoull(argv[i], nullptr, 10));
    if (counts.empty())
        counts = {20000, 1000000};
    for (size_t count : counts) {
        const pid_t child = fork();
        if (child == 0)
            _exit(runOne(count, 1, argv));
        int status = 0;
        waitpid(child, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            return 1;
    }
    return 0;
}
