#include "server_tls.h"

#include "command_runner.h"

#include <stdexcept>
#include <vector>

namespace brisk::test {

namespace {

ServerTls makeCertificate(const std::filesystem::path& dir, bool implicit, const std::vector<std::string>& extra)
{
    std::filesystem::create_directories(dir);
    ServerTls tls{dir / "cert.pem", dir / "key.pem", {}, implicit};
    std::vector<std::string> request{"openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                                     "-subj", "/CN=localhost", "-keyout", tls.keyFile.string(), "-out",
                                     tls.certFile.string()};
    request.insert(request.end(), extra.begin(), extra.end());
    const CommandResult made = runCommand(request);
    const CommandResult print =
        runCommand({"openssl", "x509", "-in", tls.certFile.string(), "-noout", "-fingerprint", "-sha256"});
    const size_t eq = print.out.find('=');
    if (made.exitCode != 0 || print.exitCode != 0 || eq == std::string::npos)
        throw std::runtime_error("openssl could not make a test certificate: " + made.err + print.err);
    tls.fingerprint = print.out.substr(eq + 1, 95);
    std::filesystem::permissions(tls.keyFile, std::filesystem::perms(0644));
    return tls;
}

} // namespace

ServerTls makeServerTls(const std::filesystem::path& dir, bool implicit)
{
    return makeCertificate(dir, implicit, {});
}

ServerTls makeServerTlsSignedBy(const std::filesystem::path& dir, const ServerTls& ca, const std::string& altNames)
{
    std::vector<std::string> extra{"-CA", ca.certFile.string(), "-CAkey", ca.keyFile.string(), "-addext",
                                   "basicConstraints=critical,CA:FALSE"};
    if (!altNames.empty())
        extra.insert(extra.end(), {"-addext", "subjectAltName=" + altNames});
    return makeCertificate(dir, false, extra);
}

} // namespace brisk::test
