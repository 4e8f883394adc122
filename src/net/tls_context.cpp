#include "net/tls_context.h"

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <arpa/inet.h>

namespace brisk {

namespace {

constexpr size_t kKeptSessions = 8;

int contextIndex()
{
    static const int index = SSL_CTX_get_ex_new_index(0, nullptr, nullptr, nullptr, nullptr);
    return index;
}

bool isAddressLiteral(const std::string& host)
{
    unsigned char scratch[16];
    return inet_pton(AF_INET, host.c_str(), scratch) == 1 || inet_pton(AF_INET6, host.c_str(), scratch) == 1;
}

} // namespace

std::string TlsErrorText(const std::string& fallback)
{
    const unsigned long code = ERR_get_error();
    ERR_clear_error();
    if (code == 0)
        return fallback;
    char text[256];
    ERR_error_string_n(code, text, sizeof text);
    return text;
}

TlsClientContext::TlsClientContext()
{
    ctx_ = SSL_CTX_new(TLS_client_method());
    if (!ctx_)
        return;
    SSL_CTX_set_min_proto_version(ctx_, TLS1_2_VERSION);
    SSL_CTX_set_options(ctx_, SSL_OP_NO_RENEGOTIATION); // a server cannot change keys or identity mid-way
    SSL_CTX_set_default_verify_paths(ctx_);
    SSL_CTX_set_verify(ctx_, SSL_VERIFY_NONE, nullptr);
    SSL_CTX_set_session_cache_mode(ctx_, SSL_SESS_CACHE_CLIENT | SSL_SESS_CACHE_NO_INTERNAL_STORE);
    SSL_CTX_sess_set_new_cb(ctx_, &TlsClientContext::keepSession);
    SSL_CTX_set_ex_data(ctx_, contextIndex(), this);
}

TlsClientContext::~TlsClientContext()
{
    ForgetSessions();
    SSL_CTX_free(ctx_);
}

void TlsClientContext::ForgetSessions()
{
    for (SSL_SESSION* session : unused_)
        SSL_SESSION_free(session);
    unused_.clear();
    SSL_SESSION_free(lastUsed_);
    lastUsed_ = nullptr;
}

int TlsClientContext::keepSession(ssl_st* ssl, ssl_session_st* session)
{
    auto* self = static_cast<TlsClientContext*>(SSL_CTX_get_ex_data(SSL_get_SSL_CTX(ssl), contextIndex()));
    if (!self)
        return 0;
    self->unused_.push_back(session);
    if (self->unused_.size() > kKeptSessions) {
        SSL_SESSION_free(self->unused_.front());
        self->unused_.pop_front();
    }
    return 1;
}

ssl_st* TlsClientContext::NewConnection(const std::string& hostName, TlsRole role, std::string& error)
{
    SSL* ssl = ctx_ ? SSL_new(ctx_) : nullptr;
    if (!ssl) {
        error = TlsErrorText("TLS library unavailable");
        return nullptr;
    }
    SSL_set_connect_state(ssl);
    if (!hostName.empty()) {
        if (!isAddressLiteral(hostName))
            SSL_set_tlsext_host_name(ssl, hostName.c_str());
        X509_VERIFY_PARAM* param = SSL_get0_param(ssl);
        // Without X509_CHECK_FLAG_ALWAYS_CHECK_SUBJECT the subject's CN counts only for a certificate
        // that names no DNS host at all.
        X509_VERIFY_PARAM_set_hostflags(param, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
        if (isAddressLiteral(hostName))
            X509_VERIFY_PARAM_set1_ip_asc(param, hostName.c_str());
        else
            X509_VERIFY_PARAM_set1_host(param, hostName.c_str(), 0);
    }
    if (role == TlsRole::Data && !unused_.empty()) {
        SSL_SESSION_free(lastUsed_);
        lastUsed_ = unused_.back();
        unused_.pop_back();
    }
    if (role == TlsRole::Data && lastUsed_)
        SSL_set_session(ssl, lastUsed_);
    return ssl;
}

} // namespace brisk
