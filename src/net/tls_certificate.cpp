#include "net/tls_certificate.h"

#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <memory>

namespace brisk {

namespace {

std::string nameText(const X509_NAME* name)
{
    std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new(BIO_s_mem()), &BIO_free);
    if (!bio || X509_NAME_print_ex(bio.get(), name, 0, XN_FLAG_RFC2253 & ~ASN1_STRFLGS_ESC_MSB) < 0)
        return {};
    char* data = nullptr;
    const long len = BIO_get_mem_data(bio.get(), &data);
    return len > 0 ? std::string(data, size_t(len)) : std::string();
}

std::string timeText(const ASN1_TIME* time)
{
    std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new(BIO_s_mem()), &BIO_free);
    if (!bio || !time || ASN1_TIME_print(bio.get(), time) != 1)
        return {};
    char* data = nullptr;
    const long len = BIO_get_mem_data(bio.get(), &data);
    return len > 0 ? std::string(data, size_t(len)) : std::string();
}

std::string sha256Fingerprint(X509* cert)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int len = 0;
    if (X509_digest(cert, EVP_sha256(), digest, &len) != 1)
        return {};
    static const char hex[] = "0123456789ABCDEF";
    std::string text;
    for (unsigned int i = 0; i < len; ++i) {
        if (i > 0)
            text += ':';
        text += hex[digest[i] >> 4];
        text += hex[digest[i] & 15];
    }
    return text;
}

} // namespace

TlsPeerCertificate ReadPeerCertificate(ssl_st* ssl)
{
    TlsPeerCertificate result;
    X509* cert = ssl ? SSL_get0_peer_certificate(ssl) : nullptr;
    if (!cert) {
        result.details.problem = "The server sent no certificate";
        return result;
    }
    result.present = true;
    result.details.subject = nameText(X509_get_subject_name(cert));
    result.details.issuer = nameText(X509_get_issuer_name(cert));
    result.details.validFrom = timeText(X509_get0_notBefore(cert));
    result.details.validUntil = timeText(X509_get0_notAfter(cert));
    result.details.fingerprint = sha256Fingerprint(cert);
    const long verdict = SSL_get_verify_result(ssl);
    result.trusted = verdict == X509_V_OK && !result.details.fingerprint.empty();
    if (!result.trusted)
        result.details.problem = X509_verify_cert_error_string(verdict);
    return result;
}

} // namespace brisk
