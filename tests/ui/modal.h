#pragma once
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

namespace brisk::test {

// Runs action on the next modal window of type T as soon as it is open (the code under test is then
// blocked in its exec()). A window that never appears is a test failure.
template <class T>
void onNextModal(std::function<void(T*)> action, int timeoutMs = 30000)
{
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, action, timeoutMs, waited = 0]() mutable {
        T* window = qobject_cast<T*>(QApplication::activeModalWidget());
        waited += timer->interval();
        if (!window && waited < timeoutMs)
            return;
        timer->stop();
        timer->deleteLater();
        if (window) {
            action(window);
            return;
        }
        ADD_FAILURE() << "no modal " << T::staticMetaObject.className() << " appeared";
        if (QWidget* other = QApplication::activeModalWidget())
            other->close();
    });
    timer->start(10);
}

} // namespace brisk::test
