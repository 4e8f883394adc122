#include "cli_session.h"
#include "mirror_command.h"
#include "mirror_options.h"
#include "mirror/mirror_profile.h"
#include "parse_command.h"
#include "password_prompt.h"
#include "quote_command.h"
#include "remote_commands.h"
#include "sites_command.h"
#include "temp_file.h"
#include "tree_delete_command.h"
#include "tree_transfer_command.h"

#include <iostream>
#include <string>
#include <vector>

using namespace brisk;
using namespace brisk::cli;

namespace {

const char* const kUsage =
    "usage: brisklane-cli [OPTIONS] URL COMMAND [ARGS...]\n"
    "       brisklane-cli sites [FOLDER]\n"
    "       brisklane-cli parse [--type D] [--date-today YYYY-MM-DD] FILE\n"
    "\n"
    "  URL  ftp://[user[:password]@]host[:port][/dir]  (no user: anonymous)\n"
    "       ftpes://... the same with TLS required, ftps://... with implicit TLS (port 990)\n"
    "       or @NAME / @FOLDER/NAME for a stored site\n"
    "\n"
    "Commands:\n"
    "  quote CMD...          send each CMD as a raw command and print its whole reply\n"
    "  ls [--parse [--type D] [--date-today YYYY-MM-DD]] [DIR]\n"
    "                        directory listing (LIST) to stdout, raw or parsed (TAB-separated)\n"
    "  nlst [DIR]            name list (NLST) to stdout\n"
    "  get REMOTE [LOCAL]    download a file\n"
    "  put LOCAL [REMOTE]    upload a file\n"
    "  get -r REMOTE_DIR [LOCAL_DIR]\n"
    "                        download a remote tree into LOCAL_DIR/NAME (LOCAL_DIR: an existing\n"
    "                        directory, default .), like cp -r\n"
    "  put -r LOCAL_DIR [REMOTE_DIR]\n"
    "                        upload a local tree into REMOTE_DIR/NAME (default: the URL's directory)\n"
    "  append LOCAL REMOTE   append a local file to a remote one\n"
    "  mkdir DIR | rmdir DIR | rm FILE | mv OLD NEW\n"
    "  rm -r DIR...          remove remote directory trees (symbolic links are removed, not followed)\n"
    "  mirror [--profile FILE.cpf] [--direction local|remote|both] [--if-exists overwrite|newer|skip]\n"
    "         [--delete] [--subdirs] [--exclude MASK]... [--direct-upload] [--dry-run] LOCAL_DIR REMOTE_DIR\n"
    "                        make two trees alike: local = the local side like the remote (download),\n"
    "                        remote = the remote side like the local (upload, the default), both = each\n"
    "                        side gets what it lacks; --delete removes what the source side lacks,\n"
    "                        --subdirs descends, --exclude skips names matching MASK; the profile's\n"
    "                        settings come first, the flags override them. Uploads go to NAME.part and\n"
    "                        are renamed when complete, unless --direct-upload. --dry-run prints the planned\n"
    "                        operations and changes nothing. Ends with a summary on stderr; the run's\n"
    "                        outcome is kept in mirrorstate.txt\n"
    "  size FILE             print the size of a remote file\n"
    "  pwd                   print the remote directory\n"
    "\n"
    "Options:\n"
    "  -v               show the protocol dialogue on stderr\n"
    "  --timeout S      give up on a request that makes no progress for S seconds (default 15)\n"
    "  --active         active data connections (PORT); passive is the default\n"
    "  --resume         the same as --if-exists resume\n"
    "  --ascii          transfer type A (default: I)\n"
    "  --if-exists skip|overwrite|resume\n"
    "                   what get, put, get -r and put -r do with a file that exists at the target\n"
    "                   (default: get and put overwrite; get -r and put -r take the stored options'\n"
    "                   skip or overwrite, else skip); nothing asks, and nothing resumes unless told\n"
    "  --hidden         list hidden files too (LIST -aL)\n"
    "  --max-listing BYTES  fail a listing longer than BYTES (default 1073741824; 0: no limit)\n"
    "  --limit-rate RATE    move at most RATE bytes per second each way (K, M, G: binary multiples)\n"
    "                   for all connections together\n"
    "  --parallel N, -P N   get -r, put -r and mirror transfer N files at once (1 to 10, default 1),\n"
    "                   each on a connection of its own; fewer when the server refuses more connections\n"
    "  --proxy HOST[:PORT]  log in through an FTP proxy (USER user@host)\n"
    "  --socks4 HOST:PORT | --socks4a HOST:PORT | --socks5 HOST:PORT\n"
    "                   connect through a SOCKS server (always passive)\n"
    "  --socks-user USER, --socks-pass PASS\n"
    "                   SOCKS user id (4, 4A) or user name and password (5)\n"
    "  --tls auto|required|off\n"
    "                   TLS for ftp:// URLs and stored sites: AUTH TLS when the server offers it,\n"
    "                   AUTH TLS or fail before the password is sent, or none (default for ftp://: off)\n"
    "  --trust SHA256   accept the server certificate with this fingerprint (AB:CD:... or abcd...)\n"
    "  --insecure       accept any server certificate\n"
    "\n"
    "Exit status: 0 success, 1 usage error, 2 a request failed (for get -r and put -r: a file failed;\n"
    "             for mirror: an operation failed),\n"
    "             128 + the signal number when SIGINT or SIGTERM ended it.\n";

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

// A byte count: decimal digits only, at most 18 of them, so that it always fits.
bool parseByteCount(const std::string& text, int64_t& bytes)
{
    if (text.empty() || text.size() > 18 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    bytes = std::stoll(text);
    return true;
}

// 1 to 10 files at once.
bool parseParallel(const std::string& text, int& count)
{
    if (text.empty() || text.size() > 2 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    count = std::stoi(text);
    return count >= 1 && count <= 10;
}

// Bytes per second, with K, M or G for 1024, 1024² or 1024³ of them (as curl reads it); more than 0.
bool parseRate(const std::string& text, int64_t& rate)
{
    const std::string units = "KMG";
    const size_t unit = text.empty() ? std::string::npos : units.find(char(std::toupper(text.back())));
    const std::string digits = unit == std::string::npos ? text : text.substr(0, text.size() - 1);
    int64_t value = 0;
    if (!parseByteCount(digits, value) || value == 0 || digits.size() > 12)
        return false;
    rate = value << (unit == std::string::npos ? 0 : 10 * (unit + 1));
    return true;
}

// skip, overwrite or resume: the overwrite choice 0, 1 or 2.
bool parseIfExists(const std::string& text, int& choice)
{
    const char* const names[] = {"skip", "overwrite", "resume"};
    for (int i = 0; i < 3; ++i)
        if (text == names[i])
            return choice = i, true;
    return false;
}

TFtpConnectionType socksKindOf(const std::string& option)
{
    if (option == "--socks4")
        return ftpSocks4;
    if (option == "--socks4a")
        return ftpSocks4A;
    if (option == "--socks5")
        return ftpSocks5;
    return ftpDirect;
}

bool parseTls(const std::string& text, int& security)
{
    const struct {
        const char* name;
        TFtpSecurity security;
    } names[] = {{"auto", ftpSecurityExplicitIfAvailable}, {"required", ftpSecurityExplicitRequired}, {"off", ftpSecurityPlain}};
    for (const auto& n : names)
        if (text == n.name)
            return security = n.security, true;
    return false;
}

// --tls decides for ftp:// and stored sites; ftpes:// and ftps:// already say what they need.
bool applyTlsOption(const GlobalOptions& options, FtpUrl& url, std::string& error)
{
    if (options.tls < 0)
        return true;
    if (url.securityNamed && options.tls == ftpSecurityPlain) {
        error = "--tls off contradicts the URL's ftpes:// or ftps://";
        return false;
    }
    if (!url.securityNamed)
        url.security = TFtpSecurity(options.tls);
    return true;
}

bool validHostPort(const std::string& text)
{
    const size_t colon = text.rfind(':');
    return colon != std::string::npos && colon > 0 && colon + 1 < text.size() &&
           text.find_first_not_of("0123456789", colon + 1) == std::string::npos;
}

// Reads the options before the URL; returns the index of the URL, or 0 after a usage error.
size_t parseOptions(const std::vector<std::string>& args, GlobalOptions& options, std::string& error)
{
    size_t i = 0;
    for (; i < args.size() && !args[i].empty() && args[i][0] == '-'; ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "-v")
            options.verbose = true;
        else if (a == "--active")
            options.active = true;
        else if (a == "--resume")
            options.ifExists = 2;
        else if (a == "--ascii")
            options.ascii = true;
        else if (a == "--hidden")
            options.hidden = true;
        else if (a == "--timeout" && hasValue && parseTimeout(args[i + 1], options.timeoutSeconds))
            ++i;
        else if (a == "--if-exists" && hasValue && parseIfExists(args[i + 1], options.ifExists))
            ++i;
        else if (a == "--tls" && hasValue && parseTls(args[i + 1], options.tls))
            ++i;
        else if (a == "--trust" && hasValue && !args[i + 1].empty())
            options.trust = args[++i];
        else if (a == "--insecure")
            options.insecure = true;
        else if (a == "--max-listing" && hasValue && parseByteCount(args[i + 1], options.maxListingBytes))
            ++i;
        else if (a == "--limit-rate" && hasValue && parseRate(args[i + 1], options.limitRate))
            ++i;
        else if ((a == "--parallel" || a == "-P") && hasValue && parseParallel(args[i + 1], options.parallel))
            ++i;
        else if (a == "--proxy" && hasValue && !args[i + 1].empty())
            options.proxy = args[++i];
        else if (socksKindOf(a) != ftpDirect && hasValue && validHostPort(args[i + 1])) {
            options.socksKind = socksKindOf(a);
            options.socks = args[++i];
        } else if (a == "--socks-user" && hasValue)
            options.socksUser = args[++i];
        else if (a == "--socks-pass" && hasValue)
            options.socksPassword = args[++i];
        else {
            error = "unknown or incomplete option " + a;
            return 0;
        }
    }
    if (!options.proxy.empty() && options.socksKind != ftpDirect) {
        error = "--proxy and a SOCKS server cannot be combined";
        return 0;
    }
    return i;
}

// @NAME or @FOLDER/NAME: the stored site's login, asking for a password that is not saved.
bool storedSiteUrl(const std::string& ref, FtpUrl& url, GlobalOptions& options, bool activeGiven, std::string& error)
{
    StoredSiteLogin site;
    if (!resolveStoredSite(ref, site, error))
        return false;
    if (site.host.empty()) {
        error = "Host name empty";
        return false;
    }
    url = FtpUrl{};
    url.host = site.host;
    url.port = site.port;
    url.user = site.user;
    url.hasUser = true;
    url.password = site.needsPassword ? readPasswordNoEcho("Password for " + site.user + "@" + site.host + ": ")
                                      : site.password;
    url.dir = site.initialDir;
    url.security = TFtpSecurity(site.security);
    if (!activeGiven)
        options.active = !site.passive;
    return true;
}

int runRemote(const RemoteCommandInfo& command, const GlobalOptions& options, const FtpUrl& url,
              const std::vector<std::string>& args)
{
    CliSession session(options, std::cout, std::cerr);
    if (!session.connect(url))
        return kExitFailed;
    const int status = command.run(session, args, options, std::cout);
    session.quit();
    // A request the engine refused (a name with a line break in it, say) is the caller's mistake.
    return status == kExitFailed && session.refusedAsUsage() ? kExitUsage : status;
}

// rm -r, get -r and put -r: the window's chains, run through a session controller.
int runTreeCommand(const std::string& command, const GlobalOptions& options, const FtpUrl& url,
                   const std::vector<std::string>& args)
{
    if (command == "rm")
        return args.empty() ? usageError("rm -r needs at least one directory")
                            : runTreeDelete(options, url, args, std::cerr);
    if (args.empty() || args.size() > 2)
        return usageError(command + " -r needs a directory and at most one target directory");
    if (command == "get")
        return runTreeGet(options, url, args[0], args.size() > 1 ? args[1] : ".", std::cerr);
    return runTreePut(options, url, args[0], args.size() > 1 ? args[1] : "", std::cerr);
}

int runMirrorCommand(const GlobalOptions& options, const FtpUrl& url, const std::vector<std::string>& words)
{
    MirrorArgs args;
    const std::string error = ParseMirrorArgs(words, args);
    if (!error.empty())
        return usageError(error);
    TRecMirror task;
    if (!args.profile.empty() && !LoadMirrorProfile(task, args.profile))
        return usageError("cannot read the mirror profile " + args.profile);
    ApplyMirrorArgs(args, task);
    return runMirror(options, url, task, args.dryRun, std::cout, std::cerr);
}

} // namespace

int main(int argc, char** argv)
{
    installTempFileSignalHandlers();
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "-h" || args[0] == "--help"))
        return std::cout << kUsage, kExitOk;
    if (!args.empty() && args[0] == "sites")
        return runSitesCommand({args.begin() + 1, args.end()}, std::cout, std::cerr);
    if (!args.empty() && args[0] == "parse")
        return runParseCommand({args.begin() + 1, args.end()}, std::cout, std::cerr);
    GlobalOptions options;
    std::string error;
    const size_t i = parseOptions(args, options, error);
    if (!error.empty())
        return usageError(error);
    if (i + 1 >= args.size())
        return usageError("");
    FtpUrl url;
    const bool activeGiven = options.active;
    if (args[i].rfind("@", 0) == 0) {
        if (!storedSiteUrl(args[i].substr(1), url, options, activeGiven, error))
            return std::cerr << "brisklane-cli: " << error << '\n', kExitUsage;
    } else if (!ParseFtpUrl(args[i], url, error)) {
        return usageError(error);
    }
    if (!applyTlsOption(options, url, error))
        return usageError(error);
    const std::string command = args[i + 1];
    const std::vector<std::string> rest(args.begin() + long(i) + 2, args.end());
    if (command == "quote") {
        if (rest.empty())
            return usageError("quote needs at least one command");
        CliSession session(options, std::cout, std::cerr);
        return runQuoteCommand(session, url, rest, std::cout);
    }
    if ((command == "rm" || command == "get" || command == "put") && !rest.empty() && rest[0] == "-r")
        return runTreeCommand(command, options, url, {rest.begin() + 1, rest.end()});
    if (command == "mirror")
        return runMirrorCommand(options, url, rest);
    const RemoteCommandInfo* remote = findRemoteCommand(command);
    if (!remote)
        return usageError("unknown command " + command);
    if (rest.size() < remote->minArgs || rest.size() > remote->maxArgs)
        return usageError("wrong number of arguments for " + command);
    return runRemote(*remote, options, url, rest);
}
