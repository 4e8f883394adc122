#include "session/ftp_connection.h"

#include "platform/event_loop.h"

#include <utility>

namespace brisk {

// A request refused before anything went out has no completion of its own: it fails from the
// loop, as a completion would come.
void FtpConnection::fail(Done done)
{
    EventLoop::instance().post([done = std::move(done), alive = std::weak_ptr<bool>(alive_)] {
        if (alive.lock())
            done(false);
    });
}

// While a request is under way another one is refused before it touches the engine's fields, which
// still describe the one under way.
bool FtpConnection::refusedWhileBusy(Done& done)
{
    if (!done_)
        return false;
    fail(std::move(done));
    return true;
}

// The engine refuses a request on a closed connection, for one.
void FtpConnection::start(Done done, void (TFtpClient::*request)())
{
    done_ = std::move(done);
    if (ftp_.TryStart([this, request] { (ftp_.*request)(); }))
        return;
    fail(std::move(done_));
    done_ = nullptr;
}

// The TYPE goes first when the server has another one; its failure is the request's.
void FtpConnection::startTyped(Done done, void (TFtpClient::*request)())
{
    if (ftp_.TypeIsSet())
        return start(std::move(done), request);
    start(
        [this, done = std::move(done), request](bool ok) mutable {
            if (!ok)
                return done(false);
            start(std::move(done), request);
        },
        &TFtpClient::TypeSetAsync);
}

void FtpConnection::requestDone(uint16_t error)
{
    if (!done_)
        return;
    Done done = std::move(done_);
    done_ = nullptr;
    done(error == 0);
}

void FtpConnection::connect(Done done)
{
    if (refusedWhileBusy(done))
        return;
    start(std::move(done), &TFtpClient::ConnectAsync);
}

void FtpConnection::syst(Done done)
{
    if (refusedWhileBusy(done))
        return;
    start(std::move(done), &TFtpClient::SystAsync);
}

void FtpConnection::pwd(Done done)
{
    if (refusedWhileBusy(done))
        return;
    start(
        [this, done = std::move(done)](bool ok) {
            if (ok && ftp_.StatusCode() == 257) {
                const std::string& reply = ftp_.LastResponse();
                const size_t open = reply.find('"');
                const size_t close = open == std::string::npos ? open : reply.find('"', open + 1);
                if (close != std::string::npos)
                    ftp_.HostDirName = reply.substr(open + 1, close - open - 1);
            }
            done(ok);
        },
        &TFtpClient::PwdAsync);
}

void FtpConnection::cwd(const std::string& dir, Done done)
{
    if (refusedWhileBusy(done))
        return;
    ftp_.HostDirName = dir;
    ftp_.HostFileName.clear();
    start(std::move(done), &TFtpClient::CwdAsync);
}

void FtpConnection::cdup(const std::string& parent, Done done)
{
    if (refusedWhileBusy(done))
        return;
    ftp_.HostDirName = parent;
    start(std::move(done), &TFtpClient::CDupAsync);
}

void FtpConnection::list(Done done, const std::string& path)
{
    if (refusedWhileBusy(done))
        return;
    ftp_.HostFileName = path;
    ftp_.LocalFileName = listing_.path();
    ftp_.Binary = false;
    startTyped(std::move(done), &TFtpClient::DirAsync);
}

void FtpConnection::mkd(const std::string& path, Done done)
{
    if (refusedWhileBusy(done))
        return;
    ftp_.HostFileName = path;
    start(std::move(done), &TFtpClient::MkdAsync);
}

void FtpConnection::rmd(const std::string& path, Done done)
{
    if (refusedWhileBusy(done))
        return;
    ftp_.HostFileName = path;
    start(std::move(done), &TFtpClient::RmdAsync);
}

void FtpConnection::dele(const std::string& path, Done done)
{
    if (refusedWhileBusy(done))
        return;
    ftp_.HostFileName = path;
    start(std::move(done), &TFtpClient::DeleAsync);
}

void FtpConnection::rename(const std::string& from, const std::string& to, Done done)
{
    if (refusedWhileBusy(done))
        return;
    ftp_.HostFileName = from;
    ftp_.LocalFileName = to;
    start(std::move(done), &TFtpClient::RenAsync);
}

void FtpConnection::quote(const std::string& command, Done done)
{
    if (refusedWhileBusy(done))
        return;
    ftp_.LocalFileName = command;
    start(std::move(done), &TFtpClient::QuoteAsync);
}

void FtpConnection::get(const std::string& remote, DownloadStart start, Done done)
{
    if (refusedWhileBusy(done))
        return;
    ftp_.HostFileName = remote;
    startTyped(std::move(done), start == DownloadStart::Resume ? &TFtpClient::RestGetAsync : &TFtpClient::GetAsync);
}

void FtpConnection::put(const std::string& local, const std::string& remote, bool resume, Done done)
{
    if (refusedWhileBusy(done))
        return;
    ftp_.LocalFileName = local;
    ftp_.HostFileName = remote;
    ftp_.ResumeAt = 0;
    startTyped(std::move(done), resume ? &TFtpClient::RestPutAsync : &TFtpClient::PutAsync);
}

} // namespace brisk
