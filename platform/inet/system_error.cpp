#include "platform/inet/system_error.h"

#include <utility>

namespace nv::inet {

namespace {

struct Entry {
    std::uint32_t code;
    const char* text;
};

// Worded as the system's message table words them, neutral of any vendor.
constexpr Entry kTexts[] = {
    {kErrorInvalidHandle, "The handle is invalid"},
    {kErrorNotEnoughMemory, "Not enough memory resources are available to process this command"},
    {kErrorOutOfHandles, "No more handles could be generated at this time"},
    {kErrorTimeout, "The operation timed out"},
    {12003, "An extended error was returned from the server"},
    {kErrorInternal, "An internal error occurred"},
    {kErrorInvalidUrl, "The URL is invalid"},
    {kErrorUnrecognizedScheme, "The URL does not use a recognized protocol"},
    {kErrorNameNotResolved, "The server name or address could not be resolved"},
    {12008, "A protocol with the required capabilities was not found"},
    {12009, "The option is invalid"},
    {12013, "The user name was not allowed"},
    {12014, "The password was not allowed"},
    {kErrorLoginFailure, "The login request was denied"},
    {12016, "The requested operation is invalid"},
    {kErrorOperationCancelled, "The operation was canceled"},
    {12018, "The supplied handle is the wrong type for the requested operation"},
    {12019, "The handle is in the wrong state for the requested operation"},
    {12023, "Direct Internet access is not available"},
    {kErrorCannotConnect, "A connection with the server could not be established"},
    {kErrorConnectionAborted, "The connection with the server was terminated abnormally"},
    {kErrorConnectionReset, "The connection with the server was reset"},
    {12032, "The action must be retried"},
    {kErrorInvalidProxyRequest, "The proxy request is invalid"},
    {kErrorCertDateInvalid, "The date in the certificate is invalid or has expired"},
    {kErrorCertNameInvalid, "The host name in the certificate is invalid or does not match"},
    {12039, "A redirect request will change a non-secure to a secure connection"},
    {12040, "A redirect request will change a secure to a non-secure connection"},
    {kErrorClientAuthCertNeeded, "A certificate is required to complete client authentication"},
    {kErrorInvalidCertAuthority, "The certificate authority is invalid or incorrect"},
    {kErrorCertErrors, "The certificate contains errors"},
    {12150, "The requested header was not found"},
    {kErrorInvalidServerResponse, "The server returned an invalid or unrecognized response"},
    {kErrorInvalidHeader, "The supplied HTTP header is invalid"},
    {kErrorRedirectFailed, "The HTTP redirect request failed"},
    {kErrorSecureChannel, "An error occurred in the secure channel support"},
    {kErrorConnectionLost, "The Internet connection has been lost"},
    {kErrorProxyUnreachable, "The designated proxy server cannot be reached"},
    {kErrorProxyScript, "There was an error in the automatic configuration script"},
    {kErrorProxyScriptDownload, "The automatic configuration script could not be downloaded"},
    {kErrorInvalidCertificate, "The certificate is invalid"},
    {kErrorCertRevoked, "The certificate was revoked"},
    {kErrorSecurityFailure, "A security error occurred"},
    {kErrorResponseTooLarge, "The response is larger than the allowed size"},
};

}  // namespace

std::string systemErrorText(std::uint32_t code) {
    for (const auto& e : kTexts)
        if (e.code == code)
            return e.text;
    return {};
}

}  // namespace nv::inet
