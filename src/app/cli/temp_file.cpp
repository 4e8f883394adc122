#include "temp_file.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace brisk::cli {

namespace {

// The paths the signal handler removes. Fixed storage: a handler may not allocate or lock.
constexpr int kSlots = 4;
constexpr size_t kPathBytes = 4096;
char slotPaths[kSlots][kPathBytes];
volatile std::sig_atomic_t slotUsed[kSlots];

int takeSlot(const std::string& path)
{
    if (path.size() >= kPathBytes)
        return -1;
    for (int i = 0; i < kSlots; ++i) {
        if (slotUsed[i])
            continue;
        std::memcpy(slotPaths[i], path.c_str(), path.size() + 1);
        slotUsed[i] = 1;
        return i;
    }
    return -1;
}

extern "C" void removeTempFilesAndExit(int signal)
{
    for (int i = 0; i < kSlots; ++i)
        if (slotUsed[i])
            ::unlink(slotPaths[i]);
    ::_exit(128 + signal);
}

std::string tempDir()
{
    const char* dir = std::getenv("TMPDIR");
    return dir && *dir ? std::string(dir) : std::string("/tmp");
}

} // namespace

TempFile::TempFile(const std::string& stem)
{
    std::string name = tempDir() + "/" + stem + "-XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        return;
    ::close(fd);
    path_ = name;
    slot_ = takeSlot(path_);
}

TempFile::~TempFile()
{
    if (path_.empty())
        return;
    if (slot_ >= 0)
        slotUsed[slot_] = 0;
    ::unlink(path_.c_str());
}

void installTempFileSignalHandlers()
{
    struct sigaction action {};
    action.sa_handler = removeTempFilesAndExit;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

} // namespace brisk::cli
