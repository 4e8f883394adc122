// The transfer queue with 10,000 items (or the count given as the argument) in the queue pane,
// offscreen: the process's resident memory before and after, and how long adding them, showing
// each tab, finishing a tenth, saving and reading the queue file take.
#include "session/queue_pane.h"
#include "session/transfer_queue_file.h"
#include "ui/queue_pane_widget.h"

#include <QApplication>
#include <QTableView>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using namespace brisk;

long residentKiB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

template <class F>
double millis(F&& run)
{
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

std::vector<TransferJob> jobs(size_t count)
{
    std::vector<TransferJob> out;
    for (size_t i = 0; i < count; ++i) {
        const std::string name =
            "/project/dir_" + std::to_string(i / 100) + "/file number " + std::to_string(i) + ".dat";
        out.push_back({TransferDirection::Download, "/home/user/downloads" + name, "/srv/ftp" + name,
                       int64_t(4096 + i), StoredSite("Work/Build server")});
    }
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    const size_t count = argc > 1 ? size_t(std::atol(argv[1])) : 10000;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    TransferQueue queue;
    ProgressSink progress;
    MainMessages msl;
    QueueRunner runner(queue, msl, progress, [](const std::string&) {});
    QueuePane pane(queue, runner);
    QueuePaneWidget widget(pane, queue);
    widget.resize(1000, 300);
    widget.show();
    app.processEvents();
    const long before = residentKiB();

    const double add = millis([&] { queue.add(jobs(count)); app.processEvents(); });
    const double show = millis([&] {
        for (QueueView view : {QueueView::Queued, QueueView::Failed, QueueView::Successful}) {
            widget.table(view)->scrollToBottom();
            widget.table(view)->repaint();
        }
    });
    const double finish = millis([&] {
        for (size_t i = 0; i < count / 10; ++i)
            if (auto item = queue.takeNext())
                queue.finishDone(item->id);
        app.processEvents();
    });
    const std::string file = (std::filesystem::temp_directory_path() / "queue_bench.txt").string();
    const double save = millis([&] { SaveQueue(queue, file); });
    TransferQueue loaded;
    const double load = millis([&] { LoadQueue(loaded, file); });
    std::filesystem::remove(file);
    const long after = residentKiB();
    std::printf("items %zu: add %.1f ms, show tabs %.1f ms, finish a tenth %.1f ms, save %.1f ms, load %.1f ms\n",
                count, add, show, finish, save, load);
    std::printf("resident memory: %.1f MB before, %.1f MB with the queue (+%.1f MB); goal: the queue under 50 MB\n",
                before / 1024.0, after / 1024.0, (after - before) / 1024.0);
    return (after - before) / 1024.0 < 50 ? 0 : 1;
}
