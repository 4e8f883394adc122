#include "session/queue_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace brisk {

QueueStore::QueueStore(TransferQueue& queue, std::string path) : queue_(queue), path_(std::move(path))
{
    timer_.setInterval(kSaveDelayMs);
    timer_.onTick = [this] { flush(); };
    subscription_ = queue_.subscribe([this](const QueueChange& change) {
        if (change.kind == QueueChange::Kind::Item || !claimed())
            return;
        dirty_ = true;
        timer_.setEnabled(true);
    });
}

QueueStore::~QueueStore()
{
    queue_.unsubscribe(subscription_);
    flush();
    if (lock_ >= 0)
        ::close(lock_);
}

bool QueueStore::claim()
{
    if (lock_ >= 0)
        return true;
    const int fd = ::open((path_ + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    lock_ = fd;
    return true;
}

QueueLoadResult QueueStore::load()
{
    if (!claimed())
        return {};
    QueueLoadResult result = LoadQueue(queue_, path_);
    dirty_ = false;
    timer_.setEnabled(false);
    return result;
}

bool QueueStore::flush()
{
    timer_.setEnabled(false);
    if (!dirty_ || !claimed())
        return true;
    dirty_ = false;
    return SaveQueue(queue_, path_);
}

} // namespace brisk
