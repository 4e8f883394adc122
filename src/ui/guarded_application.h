#pragma once
#include <QApplication>

namespace brisk {

// The program's QApplication: an exception thrown by any event handler is reported (see
// unhandled_exception.h) instead of unwinding through Qt, which would end the program.
class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace brisk
