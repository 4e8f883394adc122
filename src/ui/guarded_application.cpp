#include "ui/guarded_application.h"

#include "ui/unhandled_exception.h"

namespace brisk {

bool GuardedApplication::notify(QObject* receiver, QEvent* event)
{
    bool handled = false;
    runGuarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

} // namespace brisk
