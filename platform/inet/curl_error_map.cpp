#include "platform/inet/curl_error_map.h"

#include <cerrno>

#include <curl/curl.h>
#include <openssl/x509_vfy.h>

#include "platform/inet/system_error.h"

namespace nv::inet {

namespace {

// libcurl says only "peer verification failed"; the verify result tells which check it was.
// Its own host name check runs after the chain was accepted and leaves no verify code of its
// own (X509_V_OK or an unspecified one), only its message naming the target host name.
std::uint32_t mapVerification(long verifyResult, std::string_view message) {
    if (message.find("target host name") != std::string_view::npos ||
        message.find("subject name") != std::string_view::npos)
        return kErrorCertNameInvalid;
    switch (verifyResult) {
        case X509_V_OK:
        case X509_V_ERR_HOSTNAME_MISMATCH:
        case X509_V_ERR_IP_ADDRESS_MISMATCH:
            return kErrorCertNameInvalid;
        case X509_V_ERR_CERT_NOT_YET_VALID:
        case X509_V_ERR_CERT_HAS_EXPIRED:
        case X509_V_ERR_ERROR_IN_CERT_NOT_BEFORE_FIELD:
        case X509_V_ERR_ERROR_IN_CERT_NOT_AFTER_FIELD:
            return kErrorCertDateInvalid;
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
        case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
        case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
        case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
        case X509_V_ERR_CERT_UNTRUSTED:
        case X509_V_ERR_INVALID_CA:
        case X509_V_ERR_CERT_CHAIN_TOO_LONG:
        case X509_V_ERR_PATH_LENGTH_EXCEEDED:
            return kErrorInvalidCertAuthority;
        case X509_V_ERR_CERT_REVOKED:
            return kErrorCertRevoked;
        case X509_V_ERR_CERT_SIGNATURE_FAILURE:
        case X509_V_ERR_UNABLE_TO_DECODE_ISSUER_PUBLIC_KEY:
        case X509_V_ERR_INVALID_PURPOSE:
        case X509_V_ERR_CERT_REJECTED:
            return kErrorInvalidCertificate;
        default:
            return kErrorSecurityFailure;
    }
}

}  // namespace

std::uint32_t mapCurlFailure(const CurlFailure& failure) {
    switch (static_cast<CURLcode>(failure.code)) {
        case CURLE_OK:
            return 0;
        case CURLE_UNSUPPORTED_PROTOCOL:
            return kErrorUnrecognizedScheme;
        case CURLE_URL_MALFORMAT:
            return kErrorInvalidUrl;
        case CURLE_COULDNT_RESOLVE_PROXY:
        case CURLE_COULDNT_RESOLVE_HOST:
            return kErrorNameNotResolved;
        case CURLE_COULDNT_CONNECT:
        case CURLE_INTERFACE_FAILED:
        case CURLE_NO_CONNECTION_AVAILABLE:
            return kErrorCannotConnect;
        case CURLE_PROXY:
            return kErrorInvalidProxyRequest;
        case CURLE_WEIRD_SERVER_REPLY:
        case CURLE_GOT_NOTHING:
        case CURLE_HTTP2:
        case CURLE_HTTP2_STREAM:
        case CURLE_BAD_CONTENT_ENCODING:
        case CURLE_CHUNK_FAILED:
            return kErrorInvalidServerResponse;
        case CURLE_PARTIAL_FILE:
        case CURLE_SEND_FAIL_REWIND:
            return kErrorConnectionAborted;
        case CURLE_SEND_ERROR:
        case CURLE_RECV_ERROR:
            return failure.osErrno == ECONNRESET || failure.osErrno == EPIPE
                       ? kErrorConnectionReset
                       : kErrorConnectionAborted;
        case CURLE_OPERATION_TIMEDOUT:
            return kErrorTimeout;
        case CURLE_TOO_MANY_REDIRECTS:
            return kErrorRedirectFailed;
        case CURLE_FILESIZE_EXCEEDED:
            return kErrorResponseTooLarge;
        case CURLE_OUT_OF_MEMORY:
            return kErrorNotEnoughMemory;
        case CURLE_LOGIN_DENIED:
        case CURLE_REMOTE_ACCESS_DENIED:
        case CURLE_AUTH_ERROR:
            return kErrorLoginFailure;
        case CURLE_PEER_FAILED_VERIFICATION:
            return mapVerification(failure.tlsVerifyResult, failure.message);
        case CURLE_SSL_ISSUER_ERROR:
            return kErrorInvalidCertAuthority;
        case CURLE_SSL_CLIENTCERT:
        case CURLE_SSL_CERTPROBLEM:
            return kErrorClientAuthCertNeeded;
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_SSL_CIPHER:
        case CURLE_SSL_SHUTDOWN_FAILED:
        case CURLE_USE_SSL_FAILED:
        case CURLE_SSL_ENGINE_NOTFOUND:
        case CURLE_SSL_ENGINE_SETFAILED:
        case CURLE_SSL_ENGINE_INITFAILED:
            return kErrorSecureChannel;
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_SSL_CRL_BADFILE:
        case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
        case CURLE_SSL_INVALIDCERTSTATUS:
            return kErrorSecurityFailure;
        case CURLE_ABORTED_BY_CALLBACK:
            return kErrorOperationCancelled;
        default:
            return kErrorInternal;
    }
}

}  // namespace nv::inet
