// One request over libcurl: the options a session sets, the transfer loop with our stall
// timeouts, limits and cancel checks, and the translation of the outcome into a response.
#pragma once

#include <optional>
#include <string>

#include <curl/curl.h>

#include "platform/inet/http_message.h"
#include "platform/inet/proxy_choice.h"
#include "platform/inet/url.h"

namespace nv::inet::detail {

// libcurl's process-wide initialization, done once whichever thread gets here first.
void ensureCurlInitialized();

struct TransferSetup {
    std::string agent;
    // nullopt: leave the proxy to libcurl (the environment); Direct: no proxy at all.
    std::optional<ProxyChoice> proxy;
    std::string proxyUser;
    std::string proxyPassword;
};

struct TransferOutcome {
    HttpResponse response;
    CURLcode code = CURLE_OK;  // what libcurl reported (CURLE_OK also when we aborted)
};

// Runs `request` (already cracked into `url`) on `easy` through `multi`, whose connection
// cache keeps connections alive between calls. Both handles stay owned by the caller; `easy`
// is reset first and is not attached to `multi` afterwards.
TransferOutcome performTransfer(CURL* easy, CURLM* multi, const HttpRequest& request,
                                const Url& url, const TransferSetup& setup);

// The URL as it goes on the wire: no user information, no fragment, and the bytes libcurl
// refuses in a URL (blanks, controls, non-ASCII) percent-encoded.
std::string wireUrl(const Url& url);

}  // namespace nv::inet::detail
