#include "platform/event_loop.h"
#include "ui/guarded_application.h"
#include "ui/main_window.h"
#include "ui/program_shutdown.h"
#include "ui/qt_loop_driver.h"

#include <cstdio>
#include <cstdlib>

namespace {

bool isSet(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value;
}

// Without any of these Qt finds no platform to show windows on and aborts.
bool displayAvailable()
{
    return isSet("DISPLAY") || isSet("WAYLAND_DISPLAY") || isSet("QT_QPA_PLATFORM");
}

} // namespace

int main(int argc, char** argv)
{
    if (!displayAvailable()) {
        std::fputs("brisklane: no graphical display found (DISPLAY is not set); start it from a desktop session\n",
                   stderr);
        return 1;
    }
    brisk::GuardedApplication app(argc, argv);
    QApplication::setApplicationName("Brisklane");
    brisk::EventLoop& loop = brisk::EventLoop::instance();
    brisk::QtLoopDriver driver(loop);
    brisk::endLoopWithLastWindow(app, loop);

    brisk::T_Main window;
    window.show();
    const int status = app.exec();
    loop.terminate();
    return status;
}
