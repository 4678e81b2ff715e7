#include "platform/web/WebView.h"

namespace webview {

WebErrorStatus WebErrorStatusFromNetError(const std::string& netError)
{
    struct Entry {
        const char* Error;
        WebErrorStatus Status;
    };
    static const Entry table[] = {
        { "ERR_NAME_NOT_RESOLVED", WebErrorStatus::HostNameNotResolved },
        { "ERR_NAME_RESOLUTION_FAILED", WebErrorStatus::HostNameNotResolved },
        { "ERR_CONNECTION_REFUSED", WebErrorStatus::CannotConnect },
        { "ERR_CONNECTION_FAILED", WebErrorStatus::CannotConnect },
        { "ERR_UNSAFE_PORT", WebErrorStatus::CannotConnect },
        { "ERR_PROXY_CONNECTION_FAILED", WebErrorStatus::CannotConnect },
        { "ERR_ADDRESS_UNREACHABLE", WebErrorStatus::ServerUnreachable },
        { "ERR_ADDRESS_INVALID", WebErrorStatus::ServerUnreachable },
        { "ERR_INTERNET_DISCONNECTED", WebErrorStatus::Disconnected },
        { "ERR_NETWORK_CHANGED", WebErrorStatus::Disconnected },
        { "ERR_CONNECTION_RESET", WebErrorStatus::ConnectionReset },
        { "ERR_CONNECTION_ABORTED", WebErrorStatus::ConnectionAborted },
        { "ERR_CONNECTION_CLOSED", WebErrorStatus::ConnectionAborted },
        { "ERR_TIMED_OUT", WebErrorStatus::Timeout },
        { "ERR_CONNECTION_TIMED_OUT", WebErrorStatus::Timeout },
        { "ERR_EMPTY_RESPONSE", WebErrorStatus::ErrorHttpInvalidServerResponse },
        { "ERR_INVALID_RESPONSE", WebErrorStatus::ErrorHttpInvalidServerResponse },
        { "ERR_INVALID_HTTP_RESPONSE", WebErrorStatus::ErrorHttpInvalidServerResponse },
        { "ERR_RESPONSE_HEADERS_TRUNCATED", WebErrorStatus::ErrorHttpInvalidServerResponse },
        { "ERR_CONTENT_LENGTH_MISMATCH", WebErrorStatus::ErrorHttpInvalidServerResponse },
        { "ERR_INCOMPLETE_CHUNKED_ENCODING", WebErrorStatus::ErrorHttpInvalidServerResponse },
        { "ERR_ABORTED", WebErrorStatus::OperationCanceled },
        { "ERR_BLOCKED_BY_CLIENT", WebErrorStatus::OperationCanceled },
        { "ERR_TOO_MANY_REDIRECTS", WebErrorStatus::RedirectFailed },
        { "ERR_UNSAFE_REDIRECT", WebErrorStatus::RedirectFailed },
        { "ERR_INVALID_REDIRECT", WebErrorStatus::RedirectFailed },
        { "ERR_CERT_COMMON_NAME_INVALID", WebErrorStatus::CertificateCommonNameIsIncorrect },
        { "ERR_CERT_DATE_INVALID", WebErrorStatus::CertificateExpired },
        { "ERR_BAD_SSL_CLIENT_AUTH_CERT", WebErrorStatus::ClientCertificateContainsErrors },
        { "ERR_SSL_CLIENT_AUTH_CERT_NEEDED", WebErrorStatus::ClientCertificateContainsErrors },
        { "ERR_CERT_REVOKED", WebErrorStatus::CertificateRevoked },
        { "ERR_PROXY_AUTH_REQUESTED", WebErrorStatus::ValidProxyAuthenticationRequired },
        { "ERR_PROXY_AUTH_UNSUPPORTED", WebErrorStatus::ValidProxyAuthenticationRequired },
        { "ERR_INVALID_AUTH_CREDENTIALS", WebErrorStatus::ValidAuthenticationCredentialsRequired },
    };
    if (netError.empty())
        return WebErrorStatus::Unknown;
    std::string name = netError;
    if (name.rfind("net::", 0) == 0)
        name.erase(0, 5);
    for (const auto& e : table)
        if (name == e.Error)
            return e.Status;
    // Every other certificate problem makes the certificate unusable.
    if (name.rfind("ERR_CERT_", 0) == 0)
        return WebErrorStatus::CertificateIsInvalid;
    return WebErrorStatus::UnexpectedError;
}

} // namespace webview
