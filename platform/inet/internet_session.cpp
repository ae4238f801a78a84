#include "platform/inet/internet_session.h"

#include <fstream>
#include <new>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/inet/curl_transfer.h"
#include "platform/inet/proxy_bypass.h"
#include "platform/inet/proxy_choice.h"
#include "platform/inet/proxy_script.h"
#include "platform/inet/system_error.h"
#include "platform/inet/url.h"

namespace nv::inet {

namespace {

// A PAC script is a few kilobytes; anything far larger is not one.
constexpr std::size_t kScriptSizeLimit = 4u << 20;

const std::string& emptyString() {
    static const std::string empty;
    return empty;
}

const ProxyConfig& emptyConfig() {
    static const ProxyConfig config;
    return config;
}

// What FindProxyForURL is asked about: the address without user information or fragment.
std::string scriptUrlArgument(const Url& url) {
    return url.scheme + "://" + url.authority() + url.path + std::string(url.query());
}

std::optional<std::string> readLocalFile(std::string_view fileUrl) {
    // file:///path or file:/path; the path is percent-decoded.
    std::string_view rest = fileUrl.substr(5);
    if (rest.starts_with("//")) {
        rest.remove_prefix(2);
        const auto slash = rest.find('/');
        if (slash == std::string_view::npos)
            return std::nullopt;
        const std::string_view host = rest.substr(0, slash);
        if (!host.empty() && host != "localhost")
            return std::nullopt;
        rest.remove_prefix(slash);
    }
    std::ifstream in(percentDecode(rest), std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string text;
    char chunk[4096];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        text.append(chunk, static_cast<std::size_t>(in.gcount()));
        if (text.size() > kScriptSizeLimit)
            return std::nullopt;
    }
    return text;
}

}  // namespace

struct InternetSession::Impl {
    std::string agent;
    ProxyConfig proxy;
    CURL* easy = nullptr;    // owned; created at the first request, freed by drop()
    CURLM* multi = nullptr;  // owned; holds the kept-alive connections, freed by drop()
    bool scriptTried = false;
    std::unique_ptr<ProxyScript> script;
    std::uint32_t scriptError = 0;

    ~Impl() { drop(); }

    void drop() {
        if (multi)
            curl_multi_cleanup(multi);
        if (easy)
            curl_easy_cleanup(easy);
        multi = nullptr;
        easy = nullptr;
    }

    bool ensureHandles() {
        detail::ensureCurlInitialized();
        if (!easy)
            easy = curl_easy_init();
        if (!multi)
            multi = curl_multi_init();
        return easy && multi;
    }

    detail::TransferSetup setupFor(std::optional<ProxyChoice> choice) const {
        detail::TransferSetup setup;
        setup.agent = agent;
        setup.proxy = std::move(choice);
        setup.proxyUser = proxy.user;
        setup.proxyPassword = proxy.password;
        return setup;
    }

    void loadScript() {
        scriptTried = true;
        std::optional<std::string> source;
        const std::string_view address = proxy.scriptUrl;
        if (address.size() >= 5 && asciiEqualsIgnoreCase(address.substr(0, 5), "file:")) {
            source = readLocalFile(address);
        } else if (const auto url = Url::parse(address);
                   url && (url->scheme == "http" || url->scheme == "https")) {
            HttpRequest fetch;
            fetch.url = proxy.scriptUrl;
            fetch.followRedirects = true;
            fetch.maxBodyBytes = kScriptSizeLimit;
            const auto outcome =
                detail::performTransfer(easy, multi, fetch, *url, setupFor(ProxyChoice{}));
            if (outcome.response.error == 0 && outcome.response.status == 200)
                source = outcome.response.body;
        }
        if (!source) {
            scriptError = kErrorProxyScriptDownload;
            return;
        }
        script = ProxyScript::compile(*source, proxy.scriptTimeLimitMs);
        if (!script)
            scriptError = kErrorProxyScript;
    }

    // The ways to try, in order; nullopt as a way means "as the environment says".
    std::vector<std::optional<ProxyChoice>> routesFor(const Url& url, std::uint32_t& scriptFault) {
        switch (proxy.mode) {
            case ProxyMode::System:
                return {std::nullopt};
            case ProxyMode::Direct:
                return {ProxyChoice{}};
            case ProxyMode::Fixed: {
                if (bypassesProxy(proxy.bypass, url.scheme, url.host, url.port))
                    return {ProxyChoice{}};
                auto choice = fixedProxyFor(proxy.server, url.scheme);
                return {choice ? *choice : ProxyChoice{}};
            }
            case ProxyMode::AutoConfig:
                break;
        }
        if (!scriptTried)
            loadScript();
        if (!script) {
            scriptFault = scriptError;
            return {ProxyChoice{}};
        }
        const auto answer = script->findProxyForUrl(scriptUrlArgument(url), url.host);
        if (!answer) {
            scriptFault = kErrorProxyScript;
            return {ProxyChoice{}};
        }
        std::vector<std::optional<ProxyChoice>> routes;
        for (auto& c : parseProxyAnswer(*answer))
            routes.emplace_back(std::move(c));
        if (routes.empty())
            routes.emplace_back(ProxyChoice{});
        return routes;
    }

    HttpResponse send(const HttpRequest& request) {
        const auto url = Url::parse(request.url);
        HttpResponse failed;
        if (!url) {
            failed.error = kErrorInvalidUrl;
            return failed;
        }
        if (url->scheme != "http" && url->scheme != "https") {
            failed.error = kErrorUnrecognizedScheme;
            return failed;
        }
        if (!ensureHandles()) {
            drop();
            failed.error = kErrorOutOfHandles;
            return failed;
        }
        std::uint32_t scriptFault = 0;
        const auto routes = routesFor(*url, scriptFault);
        HttpResponse response;
        for (std::size_t i = 0; i < routes.size(); ++i) {
            auto outcome = detail::performTransfer(easy, multi, request, *url, setupFor(routes[i]));
            response = std::move(outcome.response);
            // A script's list names fallbacks: move on only while the proxy itself is out of
            // reach, which means nothing of the request has gone anywhere yet.
            const bool proxyUnreachable =
                routes[i] && routes[i]->kind != ProxyChoice::Kind::Direct && !response.received &&
                (outcome.code == CURLE_COULDNT_CONNECT ||
                 outcome.code == CURLE_COULDNT_RESOLVE_PROXY);
            if (!proxyUnreachable)
                break;
        }
        response.proxyScriptError = scriptFault;
        return response;
    }
};

InternetSession::InternetSession(std::string agent, ProxyConfig proxy)
    : impl_(std::make_unique<Impl>()) {
    impl_->agent = std::move(agent);
    impl_->proxy = std::move(proxy);
}

InternetSession::~InternetSession() = default;
InternetSession::InternetSession(InternetSession&& other) noexcept = default;
InternetSession& InternetSession::operator=(InternetSession&& other) noexcept = default;

HttpResponse InternetSession::send(const HttpRequest& request) {
    HttpResponse failed;
    if (!impl_) {
        failed.error = kErrorInvalidHandle;
        return failed;
    }
    try {
        return impl_->send(request);
    } catch (const std::bad_alloc&) {
        failed.error = kErrorNotEnoughMemory;
    } catch (...) {
        failed.error = kErrorInternal;
    }
    return failed;
}

void InternetSession::close() {
    if (!impl_)
        return;
    impl_->drop();
    impl_->scriptTried = false;
    impl_->script.reset();
    impl_->scriptError = 0;
}

const std::string& InternetSession::agent() const {
    return impl_ ? impl_->agent : emptyString();
}

const ProxyConfig& InternetSession::proxyConfig() const {
    return impl_ ? impl_->proxy : emptyConfig();
}

}  // namespace nv::inet
