#include "quote_command.h"

#include <ostream>

namespace brisk::cli {

int runQuoteCommand(CliSession& session, const FtpUrl& url, const std::vector<std::string>& commands,
                    std::ostream& out)
{
    if (!session.login(url))
        return kExitFailed;
    TFtpClient& ftp = session.ftp();
    int status = kExitOk;
    for (const std::string& command : commands) {
        ftp.LocalFileName = command;
        const bool ok = session.run([&ftp] { ftp.QuoteAsync(); });
        if (session.refusedAsUsage()) {
            status = kExitUsage; // nothing was sent: there is no reply to print
            break;
        }
        if (ftp.StatusCode() != 0 && !ftp.LastResponse().empty())
            out << ftp.LastResponse() << '\n';
        if (!ok) {
            status = kExitFailed;
            break;
        }
    }
    session.quit();
    return status;
}

} // namespace brisk::cli
