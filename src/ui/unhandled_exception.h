#pragma once
#include <functional>
#include <string>

namespace brisk {

// Where an exception that reached the Qt event loop (a slot, a timer, a round of our own loop) is
// reported instead of ending the program. Without a handler the text goes to stderr.
void setUnhandledExceptionHandler(std::function<void(const std::string& what)> handler);
void reportUnhandledException(const std::string& what);

// Runs `work`; an exception it throws is reported and swallowed. True when nothing was thrown.
bool runGuarded(const std::function<void()>& work);

} // namespace brisk
