#include "ui/program_shutdown.h"

#include "platform/event_loop.h"

#include <QApplication>

namespace brisk {

void endLoopWithLastWindow(QApplication& app, EventLoop& loop)
{
    QObject::connect(&app, &QGuiApplication::lastWindowClosed, &app, [&loop] {
        loop.terminate();
        QCoreApplication::quit();
    });
}

} // namespace brisk
