#include "session/transfer_queue_file.h"

#include "platform/program_dir.h"
#include "platform/text_file.h"
#include "session/queue_line.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <unordered_set>

namespace brisk {
namespace {

constexpr std::string_view kHeader = "brisklane-queue\t1\t";
// Far more ids than a queue can use up, and far from where counting on would wrap.
constexpr uint64_t kMaxNextId = uint64_t(1) << 62;

// The items read so far. Lines are handed in as they are read, so the file is never held whole.
class QueueReader {
public:
    // Nullptr while the line reads.
    const char* line(std::string_view text)
    {
        if (++lines_ == 1)
            return header(text);
        if (items_.size() == TransferQueue::kMaxItems)
            return "more than 1,000,000 items";
        QueueItem item;
        if (const char* fault = ParseQueueLine(text, item))
            return fault;
        if (item.id >= nextId_ || !ids_.insert(item.id).second)
            return "an id is used twice or not below the next id";
        items_.push_back(std::move(item));
        return nullptr;
    }

    size_t lines() const { return lines_; }
    uint64_t nextId() const { return nextId_; }
    std::vector<QueueItem>& items() { return items_; }

private:
    const char* header(std::string_view text)
    {
        const std::string_view next = text.substr(std::min(kHeader.size(), text.size()));
        const auto [end, ec] = std::from_chars(next.data(), next.data() + next.size(), nextId_);
        if (!text.starts_with(kHeader) || next.empty() || ec != std::errc() || end != next.data() + next.size() ||
            nextId_ == 0 || nextId_ > kMaxNextId)
            return "not a queue file of a known version";
        return nullptr;
    }

    size_t lines_ = 0;
    uint64_t nextId_ = 0;
    std::vector<QueueItem> items_;
    std::unordered_set<uint64_t> ids_;
};

// Reads the open file through the reader; the reason it stops reading, or empty.
std::string readLines(int fd, QueueReader& reader)
{
    std::string pending;
    char buffer[65536];
    ssize_t n = 0;
    while ((n = ::read(fd, buffer, sizeof buffer)) != 0) {
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::string("it cannot be read: ") + std::strerror(errno);
        pending.append(buffer, size_t(n));
        size_t start = 0;
        for (size_t end = pending.find('\n'); end != std::string::npos; end = pending.find('\n', start)) {
            if (end - start > kMaxQueueLineBytes)
                break;
            if (const char* fault = reader.line(std::string_view(pending).substr(start, end - start)))
                return "line " + std::to_string(reader.lines()) + ": " + fault;
            start = end + 1;
        }
        pending.erase(0, start);
        if (pending.size() > kMaxQueueLineBytes)
            return "line " + std::to_string(reader.lines() + 1) + " is too long";
    }
    if (!pending.empty())
        return "the last line is cut short";
    return reader.lines() == 0 ? "the file is empty" : "";
}

std::string readFile(const std::string& path, QueueReader& reader, bool& missing)
{
    // Non-blocking, so that a pipe put in the file's place cannot hold the program up.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    missing = fd < 0 && errno == ENOENT;
    if (fd < 0)
        return std::string("it cannot be opened: ") + std::strerror(errno);
    struct stat st {};
    std::string problem = ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ? "it is not a plain file"
                                                                        : readLines(fd, reader);
    ::close(fd);
    return problem;
}

std::string setAside(const std::string& path)
{
    struct stat st {};
    std::string aside = path + ".bad";
    for (int n = 1; n < 100 && ::lstat(aside.c_str(), &st) == 0; ++n)
        aside = path + ".bad." + std::to_string(n);
    return ::rename(path.c_str(), aside.c_str()) == 0 ? aside : std::string();
}

} // namespace

std::string QueueFilePath()
{
    return ProgramDir() + "queue.txt";
}

bool SaveQueue(const TransferQueue& queue, const std::string& path)
{
    std::string text = std::string(kHeader) + std::to_string(queue.nextId()) + '\n';
    for (const QueueItem& item : queue.items()) {
        text += FormatQueueLine(item);
        text += '\n';
    }
    return writePrivateFile(path, text);
}

std::string QueueLoadResult::message(const std::string& path) const
{
    if (problem.empty())
        return {};
    const std::string where = setAside.empty() ? "It could not be moved aside" : "It was moved to " + setAside;
    return "The transfer queue in " + path + " was not loaded: " + problem + ". " + where +
           ", and the queue starts empty.";
}

QueueLoadResult LoadQueue(TransferQueue& queue, const std::string& path)
{
    QueueReader reader;
    bool missing = false;
    QueueLoadResult result;
    result.problem = readFile(path, reader, missing);
    if (missing)
        result.problem.clear();
    else if (!result.problem.empty())
        result.setAside = setAside(path);
    if (missing || !result.problem.empty())
        queue.restore({}, 1);
    else
        queue.restore(std::move(reader.items()), reader.nextId());
    return result;
}

} // namespace brisk
