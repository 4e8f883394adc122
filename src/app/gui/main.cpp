#include "platform/event_loop.h"
#include "ui/main_window.h"
#include "ui/qt_loop_driver.h"

#include <QApplication>

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
    QApplication app(argc, argv);
    QApplication::setApplicationName("Brisklane");
    brisk::QtLoopDriver driver(brisk::EventLoop::instance());

    brisk::T_Main window;
    window.show();
    return app.exec();
}
