#pragma once
#include <QAbstractEventDispatcher>
#include <QAbstractItemModel>
#include <QElapsedTimer>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include "platform/event_loop.h"

#include <functional>

namespace brisk::test {

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

// Counts how often the program wakes while it lives: Qt's loop from a blocking wait, and rounds of the
// core loop. An idle program wakes a few times a second at most; one that spins, thousands of times.
class WakeCounter {
public:
    explicit WakeCounter(const EventLoop& core = EventLoop::instance())
        : core_(core), coreRounds0_(core.rounds())
    {
        connection_ = QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake,
                                       [this] { ++qtWakes_; });
    }
    ~WakeCounter() { QObject::disconnect(connection_); }
    WakeCounter(const WakeCounter&) = delete;
    WakeCounter& operator=(const WakeCounter&) = delete;

    uint64_t qtWakes() const { return qtWakes_; }
    uint64_t coreRounds() const { return core_.rounds() - coreRounds0_; }

private:
    const EventLoop& core_;
    uint64_t coreRounds0_;
    uint64_t qtWakes_ = 0;
    QMetaObject::Connection connection_;
};

// The first column's texts of a list's model, row by row.
inline QStringList captions(const QAbstractItemModel* model)
{
    QStringList out;
    for (int i = 0; i < model->rowCount(); ++i)
        out.push_back(model->index(i, 0).data().toString());
    return out;
}

} // namespace brisk::test
