// The error numbers the HTTP layer reports (WinInet's, plus a few system ones and our own), and
// the sentences the system shows for them.
#pragma once

#include <cstdint>
#include <string>

#include "platform/export.h"

namespace nv::inet {

inline constexpr std::uint32_t kErrorInvalidHandle = 6;  // a moved-from session
inline constexpr std::uint32_t kErrorNotEnoughMemory = 8;
inline constexpr std::uint32_t kErrorOutOfHandles = 12001;
inline constexpr std::uint32_t kErrorTimeout = 12002;
inline constexpr std::uint32_t kErrorInternal = 12004;
inline constexpr std::uint32_t kErrorInvalidUrl = 12005;
inline constexpr std::uint32_t kErrorUnrecognizedScheme = 12006;
inline constexpr std::uint32_t kErrorNameNotResolved = 12007;
inline constexpr std::uint32_t kErrorLoginFailure = 12015;
inline constexpr std::uint32_t kErrorOperationCancelled = 12017;
inline constexpr std::uint32_t kErrorCannotConnect = 12029;
inline constexpr std::uint32_t kErrorConnectionAborted = 12030;
inline constexpr std::uint32_t kErrorConnectionReset = 12031;
inline constexpr std::uint32_t kErrorInvalidProxyRequest = 12033;
inline constexpr std::uint32_t kErrorCertDateInvalid = 12037;
inline constexpr std::uint32_t kErrorCertNameInvalid = 12038;
inline constexpr std::uint32_t kErrorClientAuthCertNeeded = 12044;
inline constexpr std::uint32_t kErrorInvalidCertAuthority = 12045;
inline constexpr std::uint32_t kErrorCertErrors = 12055;
inline constexpr std::uint32_t kErrorInvalidServerResponse = 12152;
inline constexpr std::uint32_t kErrorInvalidHeader = 12153;
inline constexpr std::uint32_t kErrorRedirectFailed = 12156;
inline constexpr std::uint32_t kErrorSecureChannel = 12157;
inline constexpr std::uint32_t kErrorConnectionLost = 12163;
inline constexpr std::uint32_t kErrorProxyUnreachable = 12165;
inline constexpr std::uint32_t kErrorProxyScript = 12166;
inline constexpr std::uint32_t kErrorProxyScriptDownload = 12167;
inline constexpr std::uint32_t kErrorInvalidCertificate = 12169;
inline constexpr std::uint32_t kErrorCertRevoked = 12170;
inline constexpr std::uint32_t kErrorSecurityFailure = 12175;
// Ours, outside WinInet's range: the response body went past the caller's limit.
inline constexpr std::uint32_t kErrorResponseTooLarge = 12900;

// The sentence for `code`, without a trailing period or line break; empty when unknown.
NV_PLATFORM_API std::string systemErrorText(std::uint32_t code);

}  // namespace nv::inet
