#include "platform/inet/system_error.h"

#include <curl/curl.h>
#include <gtest/gtest.h>
#include <openssl/x509_vfy.h>

#include <cerrno>

#include "platform/inet/curl_error_map.h"

namespace nv::inet {
namespace {

TEST(SystemErrorText, GivesTheSystemSentences) {
    EXPECT_EQ(systemErrorText(12002), "The operation timed out");
    EXPECT_EQ(systemErrorText(12005), "The URL is invalid");
    EXPECT_EQ(systemErrorText(12006), "The URL does not use a recognized protocol");
    EXPECT_EQ(systemErrorText(12007), "The server name or address could not be resolved");
    EXPECT_EQ(systemErrorText(12029), "A connection with the server could not be established");
    EXPECT_EQ(systemErrorText(12030), "The connection with the server was terminated abnormally");
    EXPECT_EQ(systemErrorText(12031), "The connection with the server was reset");
    EXPECT_EQ(systemErrorText(12152), "The server returned an invalid or unrecognized response");
    EXPECT_EQ(systemErrorText(12156), "The HTTP redirect request failed");
    EXPECT_EQ(systemErrorText(12175), "A security error occurred");
}

TEST(SystemErrorText, EveryReportedNumberHasATextWithoutLineBreak) {
    const std::uint32_t codes[] = {kErrorInvalidHandle,
                                   kErrorNotEnoughMemory,
                                   kErrorOutOfHandles,
                                   kErrorTimeout,
                                   kErrorInternal,
                                   kErrorInvalidUrl,
                                   kErrorUnrecognizedScheme,
                                   kErrorNameNotResolved,
                                   kErrorLoginFailure,
                                   kErrorOperationCancelled,
                                   kErrorCannotConnect,
                                   kErrorConnectionAborted,
                                   kErrorConnectionReset,
                                   kErrorInvalidProxyRequest,
                                   kErrorCertDateInvalid,
                                   kErrorCertNameInvalid,
                                   kErrorClientAuthCertNeeded,
                                   kErrorInvalidCertAuthority,
                                   kErrorInvalidServerResponse,
                                   kErrorRedirectFailed,
                                   kErrorSecureChannel,
                                   kErrorProxyScript,
                                   kErrorProxyScriptDownload,
                                   kErrorInvalidCertificate,
                                   kErrorCertRevoked,
                                   kErrorSecurityFailure,
                                   kErrorResponseTooLarge};
    for (std::uint32_t code : codes) {
        SCOPED_TRACE(code);
        const std::string text = systemErrorText(code);
        EXPECT_FALSE(text.empty());
        EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
        EXPECT_NE(text.back(), '.');
    }
}

TEST(SystemErrorText, UnknownNumbersHaveNone) {
    EXPECT_EQ(systemErrorText(0), "");
    EXPECT_EQ(systemErrorText(12999), "");
    EXPECT_EQ(systemErrorText(0xFFFFFFFFu), "");
}

std::uint32_t mapped(CURLcode code, long osErrno = 0, long verify = 0,
                     std::string_view message = {}) {
    return mapCurlFailure({static_cast<int>(code), osErrno, verify, message});
}

TEST(CurlFailureMap, TransportFailures) {
    EXPECT_EQ(mapped(CURLE_OK), 0u);
    EXPECT_EQ(mapped(CURLE_OPERATION_TIMEDOUT), kErrorTimeout);
    EXPECT_EQ(mapped(CURLE_URL_MALFORMAT), kErrorInvalidUrl);
    EXPECT_EQ(mapped(CURLE_UNSUPPORTED_PROTOCOL), kErrorUnrecognizedScheme);
    EXPECT_EQ(mapped(CURLE_COULDNT_RESOLVE_HOST), kErrorNameNotResolved);
    EXPECT_EQ(mapped(CURLE_COULDNT_RESOLVE_PROXY), kErrorNameNotResolved);
    EXPECT_EQ(mapped(CURLE_COULDNT_CONNECT), kErrorCannotConnect);
    EXPECT_EQ(mapped(CURLE_PARTIAL_FILE), kErrorConnectionAborted);
    EXPECT_EQ(mapped(CURLE_RECV_ERROR, ECONNRESET), kErrorConnectionReset);
    EXPECT_EQ(mapped(CURLE_SEND_ERROR, EPIPE), kErrorConnectionReset);
    EXPECT_EQ(mapped(CURLE_RECV_ERROR, 0), kErrorConnectionAborted);
    EXPECT_EQ(mapped(CURLE_GOT_NOTHING), kErrorInvalidServerResponse);
    EXPECT_EQ(mapped(CURLE_WEIRD_SERVER_REPLY), kErrorInvalidServerResponse);
    EXPECT_EQ(mapped(CURLE_TOO_MANY_REDIRECTS), kErrorRedirectFailed);
    EXPECT_EQ(mapped(CURLE_FILESIZE_EXCEEDED), kErrorResponseTooLarge);
    EXPECT_EQ(mapped(CURLE_OUT_OF_MEMORY), kErrorNotEnoughMemory);
    EXPECT_EQ(mapped(CURLE_FAILED_INIT), kErrorInternal);
}

TEST(CurlFailureMap, CertificateProblemsByVerifyResult) {
    EXPECT_EQ(mapped(CURLE_PEER_FAILED_VERIFICATION, 0, X509_V_ERR_CERT_HAS_EXPIRED),
              kErrorCertDateInvalid);
    EXPECT_EQ(mapped(CURLE_PEER_FAILED_VERIFICATION, 0, X509_V_ERR_CERT_NOT_YET_VALID),
              kErrorCertDateInvalid);
    EXPECT_EQ(mapped(CURLE_PEER_FAILED_VERIFICATION, 0, X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT),
              kErrorInvalidCertAuthority);
    EXPECT_EQ(
        mapped(CURLE_PEER_FAILED_VERIFICATION, 0, X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY),
        kErrorInvalidCertAuthority);
    // A good chain whose name does not match: libcurl's own host check failed.
    EXPECT_EQ(mapped(CURLE_PEER_FAILED_VERIFICATION, 0, X509_V_OK), kErrorCertNameInvalid);
    EXPECT_EQ(mapped(CURLE_PEER_FAILED_VERIFICATION, 0, X509_V_ERR_UNSPECIFIED,
                     "SSL: no alternative certificate subject name matches target host name "
                     "'127.0.0.1'"),
              kErrorCertNameInvalid);
    EXPECT_EQ(mapped(CURLE_PEER_FAILED_VERIFICATION, 0, X509_V_ERR_UNSPECIFIED),
              kErrorSecurityFailure);
    EXPECT_EQ(mapped(CURLE_PEER_FAILED_VERIFICATION, 0, X509_V_ERR_CERT_REVOKED),
              kErrorCertRevoked);
    EXPECT_EQ(mapped(CURLE_PEER_FAILED_VERIFICATION, 0, X509_V_ERR_OUT_OF_MEM),
              kErrorSecurityFailure);
    EXPECT_EQ(mapped(CURLE_SSL_CONNECT_ERROR), kErrorSecureChannel);
    EXPECT_EQ(mapped(CURLE_SSL_CLIENTCERT), kErrorClientAuthCertNeeded);
    EXPECT_EQ(mapped(CURLE_SSL_CACERT_BADFILE), kErrorSecurityFailure);
}

}  // namespace
}  // namespace nv::inet
