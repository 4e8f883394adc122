#include "remote_commands.h"

#include <ostream>

namespace brisk::cli {

namespace {

int simple(CliSession& session, const std::string& file, void (TCustomFtpCli::*request)())
{
    TFtpClient& ftp = session.ftp();
    ftp.HostFileName = file;
    return session.run([&ftp, request] { (ftp.*request)(); }) ? kExitOk : kExitFailed;
}

} // namespace

int runMkdir(CliSession& session, const std::vector<std::string>& args, const GlobalOptions&, std::ostream&)
{
    return simple(session, args[0], &TCustomFtpCli::MkdAsync);
}

int runRmdir(CliSession& session, const std::vector<std::string>& args, const GlobalOptions&, std::ostream&)
{
    return simple(session, args[0], &TCustomFtpCli::RmdAsync);
}

int runRm(CliSession& session, const std::vector<std::string>& args, const GlobalOptions&, std::ostream&)
{
    return simple(session, args[0], &TCustomFtpCli::DeleAsync);
}

int runMv(CliSession& session, const std::vector<std::string>& args, const GlobalOptions&, std::ostream&)
{
    TFtpClient& ftp = session.ftp();
    ftp.HostFileName = args[0];
    ftp.LocalFileName = args[1];
    return session.run([&ftp] { ftp.RenAsync(); }) ? kExitOk : kExitFailed;
}

int runSize(CliSession& session, const std::vector<std::string>& args, const GlobalOptions& options, std::ostream& out)
{
    TFtpClient& ftp = session.ftp();
    // Several servers refuse SIZE in ASCII mode.
    ftp.Binary = !options.ascii;
    if (!session.run([&ftp] { ftp.TypeSetAsync(); }))
        return kExitFailed;
    if (simple(session, args[0], &TCustomFtpCli::SizeAsync) != kExitOk)
        return kExitFailed;
    out << ftp.SizeResult() << '\n';
    return kExitOk;
}

int runPwd(CliSession& session, const std::vector<std::string>&, const GlobalOptions&, std::ostream& out)
{
    TFtpClient& ftp = session.ftp();
    if (!session.run([&ftp] { ftp.PwdAsync(); }))
        return kExitFailed;
    out << ftp.DirResult() << '\n';
    return kExitOk;
}

} // namespace brisk::cli
