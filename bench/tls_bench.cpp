// Download and upload of one file over explicit TLS (control and data protected) by brisklane-cli and lftp
// against one local vsftpd that requires TLS and session reuse, in alternating rounds; each round's line
// is printed, then every case's median. Every copy is compared with the source byte for byte.
// Usage: tls_bench [MiB] [rounds]   (default 1024 MiB, 3 rounds)
#include "bench_files.h"
#include "ftp_users.h"
#include "measured_run.h"
#include "server_tls.h"
#include "temp_dir.h"
#include "vsftpd_server.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace brisk::test;
using namespace bench;
namespace fs = std::filesystem;

namespace {

std::string lftpTlsScript(const std::string& command)
{
    return "set ftp:ssl-force true; set ftp:ssl-protect-data true; set ssl:verify-certificate no; "
           "set ftp:passive-mode on; set ftp:prefer-epsv no; set net:max-retries 1; " + command + "; quit";
}

} // namespace

int main(int argc, char** argv)
{
    const size_t mib = argc > 1 ? size_t(std::atoi(argv[1])) : 1024;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    if (auto why = VsftpdServer::unavailableReason()) {
        std::fprintf(stderr, "tls_bench: %s\n", why->c_str());
        return 1;
    }
    TempDir work;
    const ServerTls tls = makeServerTls(work.path() / "tls");
    VsftpdServer server(tls);
    const fs::path source = work.path() / "source.bin";
    writeRandomFile(source, mib);
    offerForDownload(source, server.dataDir() / "big.bin");
    const std::string port = std::to_string(server.port());
    const std::string base = "ftpes://" + std::string(kFtpUser) + ":" + kFtpPassword + "@127.0.0.1:" + port;
    const std::string login = std::string(kFtpUser) + "," + kFtpPassword;
    const fs::path data = server.dataDir();
    const double bytes = double(mib) * 1024 * 1024;

    const std::vector<Case> cases = {
        {"get", "brisklane-cli", {BRISKLANE_CLI_PATH, "--trust", tls.fingerprint, base, "get", "big.bin", (work.path() / "ours.bin").string()}, work.path() / "ours.bin"},
        {"get", "lftp", {"lftp", "-u", login, "-p", port, "-e", lftpTlsScript("get big.bin -o " + (work.path() / "lftp.bin").string()), "127.0.0.1"}, work.path() / "lftp.bin"},
        {"put", "brisklane-cli", {BRISKLANE_CLI_PATH, "--trust", tls.fingerprint, base, "put", source.string(), "ours-up.bin"}, data / "ours-up.bin"},
        {"put", "lftp", {"lftp", "-u", login, "-p", port, "-e", lftpTlsScript("put " + source.string() + " -o lftp-up.bin"), "127.0.0.1"}, data / "lftp-up.bin"},
    };

    std::printf("file: %zu MiB, explicit TLS, passive, binary, vsftpd on 127.0.0.1 (MB = 10^6 bytes)\n", mib);
    const bool oursIntact = runRounds(cases, rounds, source, bytes).oursIntact;
    std::printf("brisklane-cli copies identical to the source: %s\n", oursIntact ? "yes" : "NO");
    return oursIntact ? 0 : 1;
}
