#include "platform/inet/curl_transfer.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include "platform/inet/curl_error_map.h"
#include "platform/inet/internet_options.h"
#include "platform/inet/system_error.h"
#include "platform/inet/test_hooks.h"

namespace nv::inet::detail {

namespace {

using Clock = std::chrono::steady_clock;

// Everything the callbacks see during one transfer; lives on performTransfer's stack.
struct TransferState {
    HttpResponse* response = nullptr;
    std::optional<std::size_t> limit;
    bool limitExceeded = false;
    bool outOfMemory = false;  // a callback could not store what arrived
    bool connected = false;    // a connection is up and the request is about to go out
    bool uploadDone = true;    // the request body has been sent (or there is none)
    curl_off_t lastDown = 0;
    curl_off_t lastUp = 0;
    Clock::time_point lastActivity = Clock::now();

    void touch() { lastActivity = Clock::now(); }
};

void takeHeaderLine(TransferState* st, std::string_view line) {
    st->touch();
    HttpResponse& r = *st->response;
    if (line.starts_with("HTTP/")) {
        // A new response begins (after a redirect, an authentication round, a proxy tunnel
        // or an interim 1xx): only the last one is reported.
        r.received = true;
        r.headers.clear();
        r.rawHeaders.clear();
        r.body.clear();
        r.statusText.clear();
        std::string_view rest = line;
        while (!rest.empty() && (rest.back() == '\r' || rest.back() == '\n'))
            rest.remove_suffix(1);
        const auto first = rest.find(' ');
        if (first != std::string_view::npos) {
            const auto second = rest.find(' ', first + 1);
            if (second != std::string_view::npos)
                r.statusText = std::string(rest.substr(second + 1));
        }
    } else if (line != "\r\n" && line != "\n") {
        r.headers.addLine(line);
    }
    if (line != "\r\n" && line != "\n") {
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
            line.remove_suffix(1);
        r.rawHeaders.append(line).append("\r\n");
    }
}

// The callbacks run inside libcurl's C frames: no exception may leave them.
std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* userdata) {
    auto* st = static_cast<TransferState*>(userdata);
    const std::size_t total = size * count;
    try {
        takeHeaderLine(st, std::string_view(data, total));
    } catch (...) {
        st->outOfMemory = true;
        return 0;
    }
    return total;
}

std::size_t onBody(char* data, std::size_t size, std::size_t count, void* userdata) {
    auto* st = static_cast<TransferState*>(userdata);
    const std::size_t total = size * count;
    st->touch();
    std::string& body = st->response->body;
    if (st->limit && total > *st->limit - std::min(*st->limit, body.size())) {
        st->limitExceeded = true;
        return CURL_WRITEFUNC_ERROR;
    }
    try {
        body.append(data, total);
    } catch (...) {
        st->outOfMemory = true;
        return CURL_WRITEFUNC_ERROR;
    }
    return total;
}

int onProgress(void* userdata, curl_off_t, curl_off_t down, curl_off_t upTotal, curl_off_t up) {
    auto* st = static_cast<TransferState*>(userdata);
    if (down != st->lastDown || up != st->lastUp) {
        st->lastDown = down;
        st->lastUp = up;
        st->touch();
    }
    st->uploadDone = upTotal <= 0 || up >= upTotal;
    return 0;
}

int onPrereq(void* userdata, char*, char*, int, int) {
    auto* st = static_cast<TransferState*>(userdata);
    st->connected = true;
    st->touch();
    return CURL_PREREQFUNC_OK;
}

struct SlistDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using Slist = std::unique_ptr<curl_slist, SlistDeleter>;

bool appendLine(Slist& list, const std::string& line) {
    curl_slist* grown = curl_slist_append(list.get(), line.c_str());
    if (!grown)
        return false;
    list.release();
    list.reset(grown);
    return true;
}

std::vector<std::string> splitHeaderLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t i = 0;
    while (i < text.size()) {
        auto end = text.find('\n', i);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(i, end - i);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.find_first_not_of(" \t") != std::string_view::npos)
            lines.emplace_back(line);
        i = end + 1;
    }
    return lines;
}

bool hasHeader(const std::vector<std::string>& lines, std::string_view name) {
    for (const std::string& line : lines) {
        const auto colon = line.find(':');
        std::string_view n = std::string_view(line).substr(0, colon);
        while (!n.empty() && (n.back() == ' ' || n.back() == '\t'))
            n.remove_suffix(1);
        if (asciiEqualsIgnoreCase(n, name))
            return true;
    }
    return false;
}

// The engine's lines, then the suppressions of libcurl's own defaults that it did not
// override, so that exactly what the engine composed goes out. False when out of memory.
bool buildHeaderList(const HttpRequest& request, bool sendsBody, Slist& list) {
    const std::vector<std::string> lines = splitHeaderLines(request.headers);
    bool ok = true;
    for (const std::string& line : lines)
        ok = ok && appendLine(list, line);
    if (!hasHeader(lines, "Accept"))
        ok = ok && appendLine(list, "Accept:");
    if (!hasHeader(lines, "Expect"))
        ok = ok && appendLine(list, "Expect:");
    if (sendsBody && !hasHeader(lines, "Content-Type"))
        ok = ok && appendLine(list, "Content-Type:");
    if (request.noCache && !hasHeader(lines, "Pragma"))
        ok = ok && appendLine(list, "Pragma: no-cache");
    return ok;
}

long curlAuth(AuthScheme scheme) {
    switch (scheme) {
        case AuthScheme::Basic:
            return static_cast<long>(CURLAUTH_BASIC);
        case AuthScheme::Digest:
            return static_cast<long>(CURLAUTH_DIGEST);
        case AuthScheme::Ntlm:
            return static_cast<long>(CURLAUTH_NTLM);
        case AuthScheme::Any:
            break;
    }
    // Negotiate is left out: without a Kerberos ticket it would win the choice and then fail
    // where NTLM would have worked.
    return static_cast<long>(CURLAUTH_BASIC | CURLAUTH_DIGEST | CURLAUTH_NTLM);
}

bool needsEscape(unsigned char c) {
    return c <= 0x20 || c >= 0x7F || c == '"' || c == '<' || c == '>' || c == '\\' || c == '^' ||
           c == '`' || c == '{' || c == '|' || c == '}';
}

void appendEscaped(std::string& out, std::string_view s) {
    static const char* const kHex = "0123456789ABCDEF";
    for (char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (needsEscape(c)) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        } else {
            out += ch;
        }
    }
}

long waitMillis(std::uint32_t limitMs, Clock::time_point since, bool cancellable) {
    long wait = 1000;
    if (limitMs != 0) {
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count();
        wait = std::clamp<long>(static_cast<long>(limitMs) - static_cast<long>(elapsed), 1, 1000);
    }
    if (cancellable)
        wait = std::min(wait, 50L);
    return wait;
}

}  // namespace

void ensureCurlInitialized() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::string wireUrl(const Url& url) {
    std::string out = url.scheme + "://" + url.authority();
    appendEscaped(out, url.path.empty() ? std::string_view("/") : std::string_view(url.path));
    appendEscaped(out, url.query());
    return out;
}

TransferOutcome performTransfer(CURL* easy, CURLM* multi, const HttpRequest& request,
                                const Url& url, const TransferSetup& setup) {
    TransferOutcome outcome;
    HttpResponse& response = outcome.response;
    TransferState st;
    st.response = &response;
    st.limit = request.maxBodyBytes;

    const bool isPost = request.method == "POST";
    const bool sendsBody = isPost || !request.body.empty();
    st.uploadDone = request.body.empty();
    Slist headers;  // owned here; libcurl only reads it during the transfer
    if (!buildHeaderList(request, sendsBody, headers)) {
        response.error = kErrorNotEnoughMemory;
        return outcome;
    }

    curl_easy_reset(easy);
    char errorText[CURL_ERROR_SIZE] = {};
    const std::string target = wireUrl(url);
    const Timeouts timeouts = processTimeouts();

    curl_easy_setopt(easy, CURLOPT_URL, target.c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    if (!setup.agent.empty())
        curl_easy_setopt(easy, CURLOPT_USERAGENT, setup.agent.c_str());

    if (request.method == "GET") {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    } else if (request.method == "HEAD") {
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    } else {
        if (!isPost)
            curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, request.method.c_str());
        if (sendsBody) {
            // libcurl reads the body from the request in place (and again for an
            // authentication round); the request outlives the transfer.
            curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE,
                             static_cast<curl_off_t>(request.body.size()));
            curl_easy_setopt(easy, CURLOPT_POSTFIELDS, request.body.data());
        }
    }
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers.get());

    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, request.followRedirects ? 1L : 0L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 10L);

    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &st);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &st);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &st);
    curl_easy_setopt(easy, CURLOPT_PREREQFUNCTION, onPrereq);
    curl_easy_setopt(easy, CURLOPT_PREREQDATA, &st);

    if (timeouts.connectMs != 0)
        curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeouts.connectMs));
    if (request.maxBodyBytes)
        curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE,
                         static_cast<curl_off_t>(*request.maxBodyBytes));

    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(easy, CURLOPT_PROXY_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_PROXY_SSL_VERIFYHOST, 2L);
    const std::string caFile = trustedCaFileForTests();
    if (!caFile.empty()) {
        curl_easy_setopt(easy, CURLOPT_CAINFO, caFile.c_str());
        curl_easy_setopt(easy, CURLOPT_PROXY_CAINFO, caFile.c_str());
    }

    std::string user = request.credentials.user;
    std::string password = request.credentials.password;
    if (user.empty() && !url.user.empty()) {
        user = url.user;
        password = url.password;
    }
    if (!user.empty()) {
        curl_easy_setopt(easy, CURLOPT_USERNAME, user.c_str());
        curl_easy_setopt(easy, CURLOPT_PASSWORD, password.c_str());
        curl_easy_setopt(easy, CURLOPT_HTTPAUTH, curlAuth(request.credentials.scheme));
    }

    // No proxy option at all leaves the choice to libcurl's reading of the environment; an
    // empty one means direct, whatever the environment says.
    std::string proxyName;
    if (setup.proxy) {
        proxyName = setup.proxy->curlProxy();
        curl_easy_setopt(easy, CURLOPT_PROXY, proxyName.c_str());
    }
    const bool mayUseProxy = !setup.proxy || setup.proxy->kind != ProxyChoice::Kind::Direct;
    if (mayUseProxy && !setup.proxyUser.empty()) {
        curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, setup.proxyUser.c_str());
        curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, setup.proxyPassword.c_str());
        curl_easy_setopt(easy, CURLOPT_PROXYAUTH, curlAuth(AuthScheme::Any));
    }
    response.proxy = proxyName;

    if (curl_multi_add_handle(multi, easy) != CURLM_OK) {
        curl_easy_reset(easy);
        response.error = kErrorInternal;
        response.errorDetail = "the transfer could not be started";
        return outcome;
    }
    bool stalled = false;
    bool cancelled = false;
    bool multiFailed = false;
    int running = 1;
    while (true) {
        if (curl_multi_perform(multi, &running) != CURLM_OK) {
            multiFailed = true;
            break;
        }
        if (running == 0)
            break;
        if (request.cancel && request.cancel->load()) {
            cancelled = true;
            break;
        }
        // Stall limits count from the last byte moved; before a connection is up, libcurl's
        // connect timeout is the one that applies.
        const std::uint32_t stallMs =
            !st.connected ? 0 : (st.uploadDone ? timeouts.receiveMs : timeouts.sendMs);
        if (stallMs != 0 && Clock::now() - st.lastActivity >= std::chrono::milliseconds(stallMs)) {
            stalled = true;
            break;
        }
        if (curl_multi_poll(
                multi, nullptr, 0,
                static_cast<int>(waitMillis(stallMs, st.lastActivity, request.cancel != nullptr)),
                nullptr) != CURLM_OK) {
            multiFailed = true;
            break;
        }
    }
    int queued = 0;
    while (CURLMsg* msg = curl_multi_info_read(multi, &queued))
        if (msg->msg == CURLMSG_DONE && msg->easy_handle == easy)
            outcome.code = msg->data.result;
    // Detaching mid-transfer closes that connection; a finished one goes back to the cache.
    curl_multi_remove_handle(multi, easy);

    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    response.status = static_cast<int>(status);
    if (char* effective = nullptr;
        curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective)
        response.effectiveUrl = effective;

    if (stalled) {
        response.error = kErrorTimeout;
        response.errorDetail = "no data moved within the time limit";
    } else if (cancelled) {
        response.error = kErrorOperationCancelled;
        response.errorDetail = "the transfer was canceled";
    } else if (multiFailed) {
        response.error = kErrorInternal;
        response.errorDetail = "the transfer loop failed";
    } else if (st.outOfMemory) {
        response.error = kErrorNotEnoughMemory;
        response.errorDetail = "the response could not be stored";
    } else if (st.limitExceeded || outcome.code == CURLE_FILESIZE_EXCEEDED) {
        response.error = kErrorResponseTooLarge;
        response.errorDetail = "the response body is larger than the limit";
    } else if (outcome.code != CURLE_OK) {
        long connectCode = 0;
        curl_easy_getinfo(easy, CURLINFO_HTTP_CONNECTCODE, &connectCode);
        if (connectCode >= 300 && response.received) {
            // The proxy refused the tunnel (a 407, say): that answer is the response, as it
            // would be for a plain request through the proxy.
            response.status = static_cast<int>(connectCode);
            response.error = 0;
        } else {
            response.errorDetail = errorText[0] ? errorText : curl_easy_strerror(outcome.code);
            CurlFailure failure;
            failure.code = outcome.code;
            failure.message = response.errorDetail;
            curl_easy_getinfo(easy, CURLINFO_OS_ERRNO, &failure.osErrno);
            curl_easy_getinfo(easy, CURLINFO_SSL_VERIFYRESULT, &failure.tlsVerifyResult);
            response.error = mapCurlFailure(failure);
            if (outcome.code == CURLE_UNSUPPORTED_PROTOCOL && st.connected) {
                // Our scheme check passed, so the server is to blame: a reply that is not HTTP
                // (libcurl refuses HTTP/0.9), or a redirect to a scheme we do not follow.
                response.error =
                    response.received ? kErrorRedirectFailed : kErrorInvalidServerResponse;
            }
        }
    }
    // Nothing of this transfer may point into our stack once we return.
    curl_easy_reset(easy);
    return outcome;
}

}  // namespace nv::inet::detail
