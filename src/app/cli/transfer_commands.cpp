#include "remote_commands.h"

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

// The remote size to resume an upload from: 0 when the file is not there yet.
bool remoteResumePoint(CliSession& session, const std::string& remote, int64_t& size)
{
    TFtpClient& ftp = session.ftp();
    ftp.HostFileName = remote;
    size = 0;
    if (session.run([&ftp] { ftp.SizeAsync(); }, false)) {
        size = ftp.SizeResult();
        return true;
    }
    return ftp.StatusCode() == 550;
}

} // namespace

int runGet(CliSession& session, const std::vector<std::string>& args, const GlobalOptions& options, std::ostream&)
{
    const std::string local = args.size() > 1 ? args[1] : lastComponent(args[0]);
    if (local.empty()) {
        std::cerr << "brisklane-cli: get: no local file name in " << args[0] << '\n';
        return kExitUsage;
    }
    if (!setType(session, options))
        return kExitFailed;
    TFtpClient& ftp = session.ftp();
    ftp.HostFileName = args[0];
    ftp.LocalFileName = local;
    ftp.ResumeAt = 0;
    const bool ok = options.resume ? session.run([&ftp] { ftp.RestGetAsync(); })
                                   : session.run([&ftp] { ftp.GetAsync(); });
    return ok ? kExitOk : kExitFailed;
}

int runPut(CliSession& session, const std::vector<std::string>& args, const GlobalOptions& options, std::ostream&)
{
    const std::string remote = args.size() > 1 ? args[1] : lastComponent(args[0]);
    if (!setType(session, options))
        return kExitFailed;
    TFtpClient& ftp = session.ftp();
    int64_t resumeAt = 0;
    if (options.resume && !remoteResumePoint(session, remote, resumeAt))
        return kExitFailed;
    ftp.HostFileName = remote;
    ftp.LocalFileName = args[0];
    ftp.ResumeAt = resumeAt;
    const bool ok = options.resume ? session.run([&ftp] { ftp.RestPutAsync(); })
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
