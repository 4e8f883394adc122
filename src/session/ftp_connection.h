#pragma once
#include "ftp/ftp_client.h"
#include "session/download_target.h"
#include "session/listing_file.h"

#include <functional>
#include <memory>
#include <string>

namespace brisk {

// The session's control connection as commands use it: one typed call per request, each with a
// completion of its own that is called exactly once, so nothing has to guess whose request ended.
// The engine's directory and file fields are set here; the transfer type is a step of the calls
// that move data, sent only when the server has another one.
class FtpConnection {
public:
    using Done = std::function<void(bool ok)>;

    FtpConnection(TFtpClient& engine, ListingFile& listing) : ftp_(engine), listing_(listing) {}
    FtpConnection(const FtpConnection&) = delete;
    FtpConnection& operator=(const FtpConnection&) = delete;

    // The server's current directory as this connection last set or learnt it.
    const std::string& dir() const { return ftp_.HostDirName; }
    // Where the next request takes the server; for a step that failed, where the server still is.
    void setDir(const std::string& dir) { ftp_.HostDirName = dir; }
    bool connected() const { return ftp_.Connected(); }
    // Connected, and no request of this connection under way.
    bool ready() const { return ftp_.Connected() && ftp_.State() == fsReady && !done_; }
    bool binary() const { return ftp_.Binary; }
    // The type the next transfer goes in; sent with it when the server has another one.
    void setBinary(bool binary) { ftp_.Binary = binary; }
    const std::string& errorMessage() const { return ftp_.ErrorMessage(); }
    TFtpClient& engine() { return ftp_; }
    const TFtpClient& engine() const { return ftp_; }
    ListingFile& listing() { return listing_; }

    void connect(Done done);
    void syst(Done done);
    // PWD; the directory it names becomes the current one.
    void pwd(Done done);
    void cwd(const std::string& dir, Done done);
    // CDUP; `parent` is what the current directory becomes.
    void cdup(const std::string& parent, Done done);
    // The current directory (or `path`) in ASCII into the listing file.
    void list(Done done, const std::string& path = {});
    void mkd(const std::string& path, Done done);
    void rmd(const std::string& path, Done done);
    void dele(const std::string& path, Done done);
    void rename(const std::string& from, const std::string& to, Done done);
    void quote(const std::string& command, Done done);
    // RETR (after REST for a resume) of `remote` into the part file PrepareDownload chose.
    void get(const std::string& remote, DownloadStart start, Done done);
    // STOR of `local` as `remote`; a resume asks the server's size and appends the rest.
    void put(const std::string& local, const std::string& remote, bool resume, Done done);

    // The engine's request ended: the call that started it hears how.
    void requestDone(uint16_t error);

private:
    void fail(Done done);
    bool refusedWhileBusy(Done& done);
    void start(Done done, void (TFtpClient::*request)());
    void startTyped(Done done, void (TFtpClient::*request)());

    TFtpClient& ftp_;
    ListingFile& listing_;
    Done done_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace brisk
