#include "remote_commands.h"

#include "platform/local_file.h"

#include <unistd.h>

#include <cstdlib>
#include <ostream>

namespace brisk::cli {

namespace {

// Runs a listing request into a private temporary file and copies its bytes to out unchanged.
int listInto(CliSession& session, const std::vector<std::string>& args, std::ostream& out,
             void (TCustomFtpCli::*request)())
{
    char path[] = "/tmp/brisklane-listing-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0)
        return kExitFailed;
    ::close(fd);
    TFtpClient& ftp = session.ftp();
    ftp.HostFileName = args.empty() ? "" : args[0];
    ftp.LocalFileName = path;
    const bool ok = session.run([&ftp, request] { (ftp.*request)(); });
    if (ok) {
        auto file = LocalFile::Open(path, LocalFile::Mode::ReadFrom);
        char buffer[65536];
        for (int n; file && (n = file->Read(buffer, sizeof buffer)) > 0;)
            out.write(buffer, n);
        out.flush();
    }
    ::unlink(path);
    return ok ? kExitOk : kExitFailed;
}

} // namespace

int runLs(CliSession& session, const std::vector<std::string>& args, const GlobalOptions&, std::ostream& out)
{
    return listInto(session, args, out, &TCustomFtpCli::DirAsync);
}

int runNlst(CliSession& session, const std::vector<std::string>& args, const GlobalOptions&, std::ostream& out)
{
    return listInto(session, args, out, &TCustomFtpCli::LsAsync);
}

} // namespace brisk::cli
