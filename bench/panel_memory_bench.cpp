// Peak memory and fill time of a long remote listing shown in the main window. For each size a
// child process writes a Unix listing file, parses it, fills the remote panel model and shows the
// window (QT_QPA_PLATFORM=offscreen unless set), then prints its peak RSS (ru_maxrss). Separate
// processes keep one size's peak from hiding the other's. Optional arguments: entry counts.
#include "listing/listing_parser.h"
#include "platform/event_loop.h"
#include "ui/main_window.h"
#include "ui/qt_loop_driver.h"

#include <QApplication>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

void writeUnixListing(const std::string& path, size_t count)
{
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) {
        std::perror(path.c_str());
        std::exit(2);
    }
    for (size_t i = 0; i < count; ++i) {
        const bool dir = i % 10 == 0;
        const char* when = i % 3 == 0 ? " 2019" : "14:05";
        std::fprintf(out, "%s   1 ftpuser  ftpgroup %10zu %s %2zu %s %s%zu%s\r\n",
                     dir ? "drwxr-xr-x" : "-rw-r--r--", i * 37 % 100000000, kMonths[i % 12], i % 28 + 1, when,
                     dir ? "directory_" : "file_", i, dir ? "" : ".txt");
    }
    std::fclose(out);
}

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

long peakRssMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

int runOne(size_t count, int argc, char** argv)
{
    const std::filesystem::path home = std::filesystem::temp_directory_path() /
                                       ("brisklane-panel-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(home);
    setenv("BRISKLANE_HOME", home.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::string listingPath = (home / "listing.txt").string();
    writeUnixListing(listingPath, count);

    QApplication app(argc, argv);
    brisk::QtLoopDriver driver(brisk::EventLoop::instance());
    brisk::T_Main window;
    window.show();
    QApplication::processEvents();
    const long baseMb = peakRssMb();

    const Clock::time_point parseStart = Clock::now();
    brisk::ParsedListing parsed;
    brisk::ParseListingFile("", brisk::CalendarDate{2026, 6, 1}, listingPath, parsed);
    brisk::SessionController& session = window.program().session;
    session.remote.listing = std::make_shared<const brisk::RemotePanel::Entries>(std::move(parsed.entries));
    session.remote.listingCopy = session.remote.listing;
    const double parseMs = millisecondsSince(parseStart);

    const Clock::time_point fillStart = Clock::now();
    session.FillRemotePanel();
    const double modelMs = millisecondsSince(fillStart);
    const Clock::time_point viewStart = Clock::now();
    window.refreshViews();
    window.repaint();
    QApplication::processEvents();
    const double viewMs = millisecondsSince(viewStart);

    std::printf("%8zu entries: rows %zu, peak RSS %ld MB (window alone %ld MB); parse %.0f ms, "
                "panel model %.0f ms, view fill and paint %.0f ms\n",
                count, session.remote.panel.size(), peakRssMb(), baseMb, parseMs, modelMs, viewMs);
    std::fflush(stdout);
    std::filesystem::remove_all(home);
    return 0;
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
