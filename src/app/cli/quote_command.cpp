#include "quote_command.h"

#include "platform/ascii.h"

#include <ostream>

namespace brisk::cli {

int runQuoteCommand(CliSession& session, const FtpUrl& url, const std::vector<std::string>& commands,
                    std::ostream& out)
{
    if (!session.login(url))
        return kExitFailed;
    TFtpClient& ftp = session.ftp();
    // Each reply line as it comes, so a long multi-line reply (HELP, STAT) is never held whole.
    ftp.OnResponse = [&out](TCustomFtpCli* sender) { out << printableLine(sender->LastResponse()) << '\n'; };
    int status = kExitOk;
    for (const std::string& command : commands) {
        ftp.LocalFileName = command;
        const bool ok = session.run([&ftp] { ftp.QuoteAsync(); });
        if (session.refusedAsUsage()) {
            status = kExitUsage; // nothing was sent: there is no reply to print
            break;
        }
        if (!ok) {
            status = kExitFailed;
            break;
        }
    }
    ftp.OnResponse = nullptr;
    session.quit();
    return status;
}

} // namespace brisk::cli
