#pragma once

class QApplication;

namespace brisk {

class EventLoop;

// When the last window closes, the program's loop is told to end, so that a synchronous wait
// running at that moment (a CWD, an abort) returns at once and the program can exit.
void endLoopWithLastWindow(QApplication& app, EventLoop& loop);

} // namespace brisk
