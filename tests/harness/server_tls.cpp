#include "server_tls.h"

#include "command_runner.h"

#include <stdexcept>

namespace brisk::test {

ServerTls makeServerTls(const std::filesystem::path& dir, bool implicit)
{
    std::filesystem::create_directories(dir);
    ServerTls tls{dir / "cert.pem", dir / "key.pem", {}, implicit};
    const CommandResult made = runCommand({"openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                                           "-subj", "/CN=localhost", "-keyout", tls.keyFile.string(), "-out",
                                           tls.certFile.string()});
    const CommandResult print =
        runCommand({"openssl", "x509", "-in", tls.certFile.string(), "-noout", "-fingerprint", "-sha256"});
    const size_t eq = print.out.find('=');
    if (made.exitCode != 0 || print.exitCode != 0 || eq == std::string::npos)
        throw std::runtime_error("openssl could not make a test certificate: " + made.err + print.err);
    tls.fingerprint = print.out.substr(eq + 1, 95);
    std::filesystem::permissions(tls.keyFile, std::filesystem::perms(0644));
    return tls;
}

} // namespace brisk::test
