#include "remote_commands.h"

#include "session/download_target.h"

#include <sys/stat.h>

#include <iostream>

namespace brisk::cli {

namespace {

std::string lastComponent(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool setType(CliSession& session, const GlobalOptions& options)
{
    TFtpClient& ftp = session.ftp();
    ftp.Binary = !options.ascii;
    return session.run([&ftp] { ftp.TypeSetAsync(); });
}

// The remote file's size by SIZE; -1 when the server gives none.
int64_t remoteSize(CliSession& session, const std::string& remote)
{
    TFtpClient& ftp = session.ftp();
    ftp.HostFileName = remote;
    return session.run([&ftp] { ftp.SizeAsync(); }, false) ? ftp.SizeResult() : -1;
}

bool localEntryExists(const std::string& path)
{
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

int skipped(const std::string& target)
{
    std::cerr << "brisklane-cli: " << target << " exists: skipped\n";
    return kExitOk;
}

} // namespace

// The download goes into LOCAL.part and replaces LOCAL only once it is whole: in binary mode its size
// must be what SIZE said.
int runGet(CliSession& session, const std::vector<std::string>& args, const GlobalOptions& options, std::ostream&)
{
    const std::string local = args.size() > 1 ? args[1] : lastComponent(args[0]);
    if (local.empty()) {
        std::cerr << "brisklane-cli: get: no local file name in " << args[0] << '\n';
        return kExitUsage;
    }
    if (options.ifExists == 0 && localEntryExists(local))
        return skipped(local);
    if (!setType(session, options))
        return kExitFailed;
    TFtpClient& ftp = session.ftp();
    const int64_t size = options.ascii ? -1 : remoteSize(session, args[0]);
    const bool resume = options.ifExists == 2 && (localEntryExists(local) || localEntryExists(PartFileOf(local)));
    ftp.HostFileName = args[0];
    const DownloadStart start = PrepareDownload(ftp, local, size, resume);
    if (start == DownloadStart::WholeNotResumable)
        std::cerr << "brisklane-cli: " << local << ": not resumed, the whole file is downloaded\n";
    if (!session.run([&ftp, start] { StartPreparedDownload(ftp, start); }))
        return kExitFailed;
    const std::string problem = CommitDownload(MainMessages{}, local, ExpectedDownloadSize(ftp.Binary, size), 0);
    if (problem.empty())
        return kExitOk;
    std::cerr << "brisklane-cli: " << problem << '\n';
    return kExitFailed;
}

int runPut(CliSession& session, const std::vector<std::string>& args, const GlobalOptions& options, std::ostream&)
{
    const std::string remote = args.size() > 1 ? args[1] : lastComponent(args[0]);
    if (!setType(session, options))
        return kExitFailed;
    if (options.ifExists == 0 && remoteSize(session, remote) >= 0)
        return skipped(remote);
    TFtpClient& ftp = session.ftp();
    ftp.HostFileName = remote;
    ftp.LocalFileName = args[0];
    ftp.ResumeAt = 0;
    // A resumed upload takes its offset from SIZE itself, and checks the size afterwards.
    const bool ok = options.ifExists == 2 ? session.run([&ftp] { ftp.RestPutAsync(); })
                                          : session.run([&ftp] { ftp.PutAsync(); });
    return ok ? kExitOk : kExitFailed;
}

int runAppend(CliSession& session, const std::vector<std::string>& args, const GlobalOptions& options, std::ostream&)
{
    if (!setType(session, options))
        return kExitFailed;
    TFtpClient& ftp = session.ftp();
    ftp.LocalFileName = args[0];
    ftp.HostFileName = args[1];
    ftp.ResumeAt = 0;
    return session.run([&ftp] { ftp.AppendAsync(); }) ? kExitOk : kExitFailed;
}

} // namespace brisk::cli
