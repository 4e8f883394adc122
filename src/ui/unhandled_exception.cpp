#include "ui/unhandled_exception.h"

#include <cstdio>
#include <exception>

namespace brisk {

namespace {

std::function<void(const std::string&)>& handler()
{
    static std::function<void(const std::string&)> h;
    return h;
}

} // namespace

void setUnhandledExceptionHandler(std::function<void(const std::string& what)> h)
{
    handler() = std::move(h);
}

void reportUnhandledException(const std::string& what)
{
    std::fprintf(stderr, "brisklane: unexpected error: %s\n", what.c_str());
    if (!handler())
        return;
    // The handler shows the text; if even that fails, stderr already has it.
    try {
        handler()(what);
    } catch (...) {
    }
}

bool runGuarded(const std::function<void()>& work)
{
    try {
        work();
        return true;
    } catch (const std::exception& e) {
        reportUnhandledException(e.what());
    } catch (...) {
        reportUnhandledException("unknown exception");
    }
    return false;
}

} // namespace brisk
