#include "stream_baseline.h"

#include "peer_io.h"
#include "unique_fd.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/sendfile.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <vector>

namespace bench {
namespace {

using brisk::test::UniqueFd;

// Sends the whole file on one accepted connection, then closes it; false on any failure.
bool sendFile(int listener, const std::filesystem::path& source)
{
    UniqueFd connection(::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC));
    UniqueFd file(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st{};
    if (!connection.valid() || !file.valid() || ::fstat(file.get(), &st) != 0)
        return false;
    off_t offset = 0;
    while (offset < st.st_size)
        if (::sendfile(connection.get(), file.get(), &offset, size_t(st.st_size - offset)) <= 0)
            return false;
    return true;
}

bool writeAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

// Receives until the sender closes, writing every byte to the file; false on any failure.
bool receiveFile(uint16_t port, const std::filesystem::path& target)
{
    UniqueFd connection(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    UniqueFd file(::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (!file.valid() || ::connect(connection.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return false;
    // 256 KiB stays in the processor's cache between recv and write: 1 MiB made it 2-3 times slower here.
    std::vector<char> buffer(256 * 1024);
    for (;;) {
        const ssize_t n = ::recv(connection.get(), buffer.data(), buffer.size(), 0);
        if (n == 0)
            return true;
        if (n < 0 || !writeAll(file.get(), buffer.data(), size_t(n)))
            return false;
    }
}

double cpuSecondsSoFar()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

} // namespace

// The sender is a process of its own, as a server is, so that the two ends are scheduled as a client
// and its server are; its CPU time counts as the server's.
Run measureStream(const std::filesystem::path& source, const std::filesystem::path& target)
{
    uint16_t port = 0;
    UniqueFd listener(brisk::test::peer_io::listenOnLoopback(port));
    ::sync();
    const double cpuBefore = cpuSecondsSoFar();
    const auto start = std::chrono::steady_clock::now();
    const pid_t sender = ::fork();
    if (sender == 0)
        ::_exit(sendFile(listener.get(), source) ? 0 : 1);
    const bool received = sender > 0 && receiveFile(port, target);
    if (!received)
        ::shutdown(listener.get(), SHUT_RDWR); // wakes the sender's accept
    int status = 1;
    rusage senderUsage{};
    const bool sent = sender > 0 && ::wait4(sender, &status, 0, &senderUsage) == sender && status == 0;
    Run run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.cpuSeconds = cpuSecondsSoFar() - cpuBefore;
    run.serverCpuSeconds = seconds(senderUsage.ru_utime) + seconds(senderUsage.ru_stime);
    run.status = sent && received ? 0 : 1;
    return run;
}

} // namespace bench
