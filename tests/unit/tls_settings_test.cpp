#include "certificate_policy.h"
#include "file_io.h"
#include "ftp/ftp_url.h"
#include "net/tls_trust_store.h"
#include "sites/site_line.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <sstream>

using namespace brisk;
using namespace brisk::test;

namespace {
const std::string kPrintA = "AB:CD:EF:01:23:45:67:89:AB:CD:EF:01:23:45:67:89:AB:CD:EF:01:23:45:67:89:AB:CD:EF:01:23:45:67:89";
const std::string kPrintB = "01:23:45:67:89:AB:CD:EF:01:23:45:67:89:AB:CD:EF:01:23:45:67:89:AB:CD:EF:01:23:45:67:89:AB:CD:EF";
} // namespace

TEST(SiteSecurity, OldLinesArePlainNewSitesTryTlsAndEverySettingRoundTrips)
{
    TFTPServerInfo site;
    ASSERT_TRUE(ParseSiteLine("Name=Old;Server=h;Port=21;", site, {}));
    EXPECT_EQ(site.Security, 0);
    EXPECT_EQ(SerializeSite(site).find("Security"), std::string::npos);

    TFTPServerInfo fresh;
    InitSiteDefaults(fresh, {});
    EXPECT_EQ(fresh.Security, 1);
    for (uint8_t security : {0, 1, 2, 3}) {
        fresh.Security = security;
        TFTPServerInfo back;
        ASSERT_TRUE(ParseSiteLine(SerializeSite(fresh), back, {}));
        EXPECT_EQ(back, fresh);
    }
    for (const char* bad : {"Security=4;", "Security=-1;", "Security=x;"}) {
        ASSERT_TRUE(ParseSiteLine(std::string("Name=n;") + bad, site, {}));
        EXPECT_EQ(site.Security, 0) << bad;
    }
}

TEST(SiteSecurity, UrlSchemesNameTheSecurityAndImplicitTlsItsPort)
{
    const struct {
        const char* text;
        TFtpSecurity security;
        bool named;
        const char* port;
    } rows[] = {
        {"ftp://h", ftpSecurityPlain, false, "21"},
        {"ftpes://u:p@h/dir", ftpSecurityExplicitRequired, true, "21"},
        {"ftps://h", ftpSecurityImplicit, true, "990"},
        {"ftps://h:2990", ftpSecurityImplicit, true, "2990"},
    };
    for (const auto& r : rows) {
        FtpUrl url;
        std::string error;
        ASSERT_TRUE(ParseFtpUrl(r.text, url, error)) << r.text << ": " << error;
        EXPECT_EQ(url.security, r.security) << r.text;
        EXPECT_EQ(url.securityNamed, r.named) << r.text;
        EXPECT_EQ(url.port, r.port) << r.text;
    }
    FtpUrl url;
    std::string error;
    EXPECT_FALSE(ParseFtpUrl("sftp://h", url, error));
}

TEST(TrustStore, KeepsOneFingerprintPerHostPrivatelyAndSkipsDamagedLines)
{
    TempDir dir;
    const std::string path = (dir.path() / "trusted_certs").string();
    writeFileBytes(path, "garbage\nh:21 short\n\nother:21 " + kPrintB + "\n");
    const TlsTrustStore store(path);
    EXPECT_EQ(store.Fingerprint("h:21"), "");
    ASSERT_TRUE(store.Remember("h:21", kPrintA));
    ASSERT_TRUE(store.Remember("h:21", kPrintB));
    EXPECT_EQ(store.Fingerprint("h:21"), kPrintB);
    EXPECT_EQ(store.Fingerprint("other:21"), kPrintB);
    EXPECT_EQ(store.Fingerprint("h:990"), "");
    EXPECT_EQ(readFileBytes(path), "garbage\nh:21 short\n\nother:21 " + kPrintB + "\nh:21 " + kPrintB + "\n");
    struct stat st{};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_FALSE(TlsTrustStore((dir.path() / "missing" / "f").string()).Remember("h:21", kPrintA));
}

TEST(CliCertificatePolicy, AcceptsOnlyTheNamedFingerprintOrWithInsecure)
{
    CertificateQuestion q;
    q.host = "h:21";
    q.fingerprint = kPrintA;
    q.subject = "CN=localhost";
    std::ostringstream err;
    EXPECT_EQ((cli::CertificatePolicy{"abcdef0123456789abcdef0123456789abcdef0123456789abcdef0123456789", false}.answer(q, err)),
              CertificateAnswer::Once);
    EXPECT_EQ((cli::CertificatePolicy{kPrintA, false}.answer(q, err)), CertificateAnswer::Once);
    EXPECT_EQ((cli::CertificatePolicy{"", true}.answer(q, err)), CertificateAnswer::Once);
    EXPECT_TRUE(err.str().empty());
    EXPECT_EQ((cli::CertificatePolicy{kPrintB, false}.answer(q, err)), CertificateAnswer::Cancel);
    EXPECT_NE(err.str().find("CN=localhost"), std::string::npos);
    EXPECT_NE(err.str().find("--trust " + kPrintA), std::string::npos);
}
