// One HTTP exchange as the engine describes it to a session, and what came back.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/inet/http_headers.h"

namespace nv::inet {

enum class AuthScheme {
    Any,  // negotiated from the server's challenge (Basic, Digest or NTLM)
    Basic,
    Digest,
    Ntlm,
};

struct ServerCredentials {
    std::string user;  // empty: no authentication, a 401 comes back as it is
    std::string password;
    AuthScheme scheme = AuthScheme::Any;
};

struct HttpRequest {
    std::string method = "GET";  // GET, POST, HEAD, or any other verb sent as written
    std::string url;             // absolute; user and password in it serve as credentials
                                 // when `credentials` has no user
    // Extra header lines exactly as they go out, separated by "\n" (a "\r" before it is
    // dropped). Nothing is added besides Host, User-Agent, Content-Length, the authorization
    // headers, and "Pragma: no-cache" with `noCache`; no Accept, no Expect, no Content-Type.
    std::string headers;
    std::string body;
    ServerCredentials credentials;
    bool noCache = false;
    bool followRedirects = false;               // at most 10; more ends with kErrorRedirectFailed
    std::optional<std::size_t> maxBodyBytes;    // beyond it: kErrorResponseTooLarge
    const std::atomic<bool>* cancel = nullptr;  // not owned; when it turns true the transfer ends
                                                // with kErrorOperationCancelled
};

struct HttpResponse {
    bool received = false;     // a status line arrived (whatever happened afterwards)
    std::uint32_t error = 0;   // 0 when the exchange completed, whatever the status
    int status = 0;            // of the final response
    std::string statusText;    // its reason phrase
    HttpHeaders headers;       // of the final response
    std::string rawHeaders;    // its status line and header lines, each ending in CRLF
    std::string body;          // what arrived (up to the limit when one was hit)
    std::string effectiveUrl;  // after redirects
    std::string errorDetail;   // the transport's own words about a failure, for logs
    std::string proxy;         // the proxy used ("http://host:port"); empty when direct or
                               // left to the environment
    // kErrorProxyScript / kErrorProxyScriptDownload when the PAC script failed and the
    // request went direct instead; 0 otherwise.
    std::uint32_t proxyScriptError = 0;
};

}  // namespace nv::inet
