#include "remote_commands.h"

#include "parse_command.h"
#include "platform/local_file.h"
#include "temp_file.h"

#include <iostream>
#include <ostream>

namespace brisk::cli {

namespace {

// Runs a listing request into a private temporary file (gone on every outcome) and copies its bytes to out unchanged, or, with
// parseArgs, prints the parsed records instead.
int listInto(CliSession& session, const std::vector<std::string>& args, std::ostream& out,
             void (TCustomFtpCli::*request)(), const std::vector<std::string>* parseArgs = nullptr)
{
    const TempFile listing("brisklane-listing");
    const std::string& path = listing.path();
    if (path.empty())
        return std::cerr << "brisklane-cli: cannot create a temporary file\n", kExitFailed;
    TFtpClient& ftp = session.ftp();
    ftp.HostFileName = args.empty() ? "" : args[0];
    ftp.LocalFileName = path;
    bool ok = session.run([&ftp, request] { (ftp.*request)(); });
    if (ok && parseArgs) {
        std::vector<std::string> withFile = *parseArgs;
        withFile.push_back(path);
        ok = runParseCommand(withFile, out, std::cerr) == 0;
    } else if (ok) {
        auto file = LocalFile::Open(path, LocalFile::Mode::ReadFrom);
        char buffer[65536];
        for (int n; file && (n = file->Read(buffer, sizeof buffer)) > 0;)
            out.write(buffer, n);
        out.flush();
    }
    return ok ? kExitOk : kExitFailed;
}

} // namespace

int runLs(CliSession& session, const std::vector<std::string>& args, const GlobalOptions&, std::ostream& out)
{
    // ls [--parse [--type D] [--date-today YYYY-MM-DD]] [DIR]
    std::vector<std::string> dir, parseArgs;
    bool parse = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--parse")
            parse = true;
        else if ((args[i] == "--type" || args[i] == "--date-today") && i + 1 < args.size())
            parseArgs.insert(parseArgs.end(), {args[i], args[i + 1]}), ++i;
        else if (args[i].rfind("--", 0) != 0 && dir.empty())
            dir.push_back(args[i]);
        else
            return std::cerr << "brisklane-cli: ls: unexpected argument " << args[i] << '\n', kExitUsage;
    }
    if (!parseArgs.empty() && !parse)
        return std::cerr << "brisklane-cli: ls: --type and --date-today go with --parse\n", kExitUsage;
    // ls shows the server's own listing text (and --parse reads it by response type): LIST, not MLSD.
    session.ftp().UseMlsd = false;
    return listInto(session, dir, out, &TCustomFtpCli::DirAsync, parse ? &parseArgs : nullptr);
}

int runNlst(CliSession& session, const std::vector<std::string>& args, const GlobalOptions&, std::ostream& out)
{
    return listInto(session, args, out, &TCustomFtpCli::LsAsync);
}

} // namespace brisk::cli
