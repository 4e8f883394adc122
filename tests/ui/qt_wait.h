#pragma once
#include <QAbstractItemModel>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include "cpu_clock.h"

#include <functional>

namespace brisk::test {

// Runs Qt's own loop until done() holds (checked every 10 ms) or timeoutMs passes; returns done().
inline bool runQtUntil(const std::function<bool()>& done, int timeoutMs)
{
    QEventLoop qtLoop;
    QTimer::singleShot(timeoutMs, &qtLoop, &QEventLoop::quit);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done())
            qtLoop.quit();
    });
    poll.start(10);
    if (!done())
        qtLoop.exec();
    return done();
}

// Waits in small steps until done() holds or timeoutMs passes. QTest::qWait also runs the deferred
// deletes, so nothing of a test is left for the next one.
inline bool waitFor(const std::function<bool()>& done, int timeoutMs = 20000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QTest::qWait(10);
    }
    return true;
}

// The first column's texts of a list's model, row by row.
inline QStringList captions(const QAbstractItemModel* model)
{
    QStringList out;
    for (int i = 0; i < model->rowCount(); ++i)
        out.push_back(model->index(i, 0).data().toString());
    return out;
}

} // namespace brisk::test
