#include "temp_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>

namespace brisk::cli {

namespace {

// The paths the signal handler removes. Fixed storage: a handler may not allocate or lock.
constexpr int kSlots = 4;
constexpr size_t kPathBytes = 4096;
char slotFiles[kSlots][kPathBytes];
char slotDirs[kSlots][kPathBytes];
volatile std::sig_atomic_t slotUsed[kSlots];

int takeSlot(const std::string& dir, const std::string& file)
{
    if (file.size() >= kPathBytes)
        return -1;
    for (int i = 0; i < kSlots; ++i) {
        if (slotUsed[i])
            continue;
        std::memcpy(slotDirs[i], dir.c_str(), dir.size() + 1);
        std::memcpy(slotFiles[i], file.c_str(), file.size() + 1);
        slotUsed[i] = 1;
        return i;
    }
    return -1;
}

extern "C" void removeTempFilesAndExit(int signal)
{
    for (int i = 0; i < kSlots; ++i)
        if (slotUsed[i]) {
            ::unlink(slotFiles[i]);
            ::rmdir(slotDirs[i]);
        }
    ::_exit(128 + signal);
}

std::string tempDir()
{
    const char* dir = std::getenv("TMPDIR");
    return dir && *dir ? std::string(dir) : std::string("/tmp");
}

} // namespace

// The file lives in a directory of its own that only this user may enter: the file is removed and
// made again by name (after each listing read), and in a shared temporary directory anyone could
// put a link or a file of theirs under that name in between.
TempFile::TempFile(const std::string& stem)
{
    std::string dir = tempDir() + "/" + stem + "-XXXXXX";
    if (!::mkdtemp(dir.data()))
        return;
    const std::string file = dir + "/" + stem;
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        ::rmdir(dir.c_str());
        return;
    }
    ::close(fd);
    dir_ = dir;
    path_ = file;
    slot_ = takeSlot(dir_, path_);
}

TempFile::~TempFile()
{
    if (path_.empty())
        return;
    if (slot_ >= 0)
        slotUsed[slot_] = 0;
    ::unlink(path_.c_str());
    ::rmdir(dir_.c_str());
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
