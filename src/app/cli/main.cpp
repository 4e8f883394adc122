#include "cli_session.h"
#include "quote_command.h"

#include <iostream>
#include <string>
#include <vector>

using namespace brisk;
using namespace brisk::cli;

namespace {

const char* const kUsage =
    "usage: brisklane-cli [-v] [--timeout S] URL quote CMD...\n"
    "\n"
    "  URL          ftp://[user[:password]@]host[:port][/dir]  (no user: anonymous)\n"
    "  quote CMD... send each CMD as a raw command and print its final reply line\n"
    "\n"
    "  -v           show the protocol dialogue on stderr\n"
    "  --timeout S  give up on a request that makes no progress for S seconds (default 15)\n"
    "\n"
    "Exit status: 0 success, 1 usage error, 2 a request failed.\n";

int usageError(const std::string& message)
{
    if (!message.empty())
        std::cerr << "brisklane-cli: " << message << '\n';
    std::cerr << kUsage;
    return kExitUsage;
}

bool parseTimeout(const std::string& text, int& seconds)
{
    if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    seconds = std::stoi(text);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    GlobalOptions options;
    size_t i = 0;
    for (; i < args.size() && !args[i].empty() && args[i][0] == '-'; ++i) {
        if (args[i] == "-v")
            options.verbose = true;
        else if (args[i] == "--timeout" && i + 1 < args.size() && parseTimeout(args[i + 1], options.timeoutSeconds))
            ++i;
        else if (args[i] == "-h" || args[i] == "--help")
            return std::cout << kUsage, kExitOk;
        else
            return usageError("unknown or incomplete option " + args[i]);
    }
    if (i + 1 >= args.size())
        return usageError("");
    FtpUrl url;
    std::string error;
    if (!ParseFtpUrl(args[i], url, error))
        return usageError(error);
    const std::string command = args[i + 1];
    const std::vector<std::string> rest(args.begin() + long(i) + 2, args.end());
    if (command == "quote") {
        if (rest.empty())
            return usageError("quote needs at least one command");
        CliSession session(options, std::cout, std::cerr);
        return runQuoteCommand(session, url, rest, std::cout);
    }
    return usageError("unknown command " + command);
}
