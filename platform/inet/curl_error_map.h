// Translation of a failed libcurl transfer into the WinInet error number a caller expects.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/export.h"

namespace nv::inet {

// What libcurl reported about a failure. Plain integers so that callers need no curl header.
struct CurlFailure {
    int code = 0;              // the CURLcode
    long osErrno = 0;          // CURLINFO_OS_ERRNO
    long tlsVerifyResult = 0;  // CURLINFO_SSL_VERIFYRESULT (an OpenSSL X509_V_ERR_* value)
    std::string_view message;  // libcurl's error buffer
};

// 0 for CURLE_OK. Transfers our own callbacks aborted (limits, stalls) are told apart by the
// session, not here: CURLE_WRITE_ERROR and CURLE_ABORTED_BY_CALLBACK map to generic numbers.
NV_PLATFORM_API std::uint32_t mapCurlFailure(const CurlFailure& failure);

}  // namespace nv::inet
