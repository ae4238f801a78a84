#include "engine/http/transport.h"

#include "engine/api/engine_limits.h"
#include "engine/http/status_texts.h"
#include "engine/resources/message_ids.h"
#include "platform/inet/auth_challenge.h"
#include "platform/inet/credential_prompt.h"
#include "platform/inet/internet_session.h"
#include "platform/inet/system_error.h"
#include "platform/inet/url.h"
#include "platform/text/unicode.h"

namespace wscore {

namespace {

using nv::inet::AuthScheme;
using nv::inet::HttpRequest;
using nv::inet::HttpResponse;
using nv::text::utf16ToUtf8;
using nv::text::utf8ToUtf16;

constexpr const char* kAgent = "Norvale";
constexpr const char* kAcceptLanguage = "Accept-Language: *";

std::string postHeaders(const std::string& soapAction, bool dime) {
    std::string h = kAcceptLanguage;
    h += "\nSOAPAction: \"";
    h += soapAction;
    h += "\"";
    h += dime ? "\nContent-Type: application/dime" : "\nContent-Type: text/xml; charset=utf-8";
    return h;
}

// Asks the credential hook after a 401/407; true with the request's credentials replaced.
bool promptAgain(const HttpResponse& response, const std::string& url, int attempt,
                 nv::inet::ServerCredentials& credentials) {
    nv::inet::CredentialChallenge challenge;
    challenge.url = url;
    challenge.forProxy = response.status == 407;
    std::string header =
        response.headers.get(challenge.forProxy ? "Proxy-Authenticate" : "WWW-Authenticate")
            .value_or(std::string());
    std::vector<nv::inet::AuthChallenge> offered = nv::inet::parseAuthChallenges(header);
    if (!offered.empty()) {
        challenge.scheme = offered.front().scheme;
        challenge.realm = offered.front().realm;
    }
    challenge.attempt = attempt;
    std::optional<nv::inet::PromptedCredentials> answer = nv::inet::promptForCredentials(challenge);
    if (!answer)
        return false;
    credentials.user = answer->user;
    credentials.password = answer->password;
    credentials.scheme = AuthScheme::Any;
    return true;
}

}  // namespace

Transport::Transport(const MessageModule& messages, const InternetSettings& settings,
                     Credentials& wsdlCredentials)
    : messages_(messages), settings_(settings), wsdlCredentials_(wsdlCredentials) {}

Transport::~Transport() = default;

nv::inet::InternetSession& Transport::internet() {
    if (!internet_) {
        nv::inet::ProxyConfig proxy;
        if (settings_.useProxy) {
            proxy = nv::inet::ProxyConfig::fixed(utf16ToUtf8(settings_.proxyString()), "<local>");
            proxy.user = utf16ToUtf8(settings_.proxyUsername);
            proxy.password = utf16ToUtf8(settings_.proxyPassword);
        } else if (settings_.useAutoConfigUrl) {
            proxy = nv::inet::ProxyConfig::autoConfig(utf16ToUtf8(settings_.autoConfigUrl));
        } else {
            proxy = nv::inet::ProxyConfig::system();
        }
        internet_ = std::make_unique<nv::inet::InternetSession>(kAgent, proxy);
    }
    return *internet_;
}

void Transport::closeInternet() {
    internet_.reset();
}

std::u16string Transport::statusFailure(int status) const {
    return messages_.text(msg::HttpRequestFailed) + std::u16string(httpStatusText(status));
}

std::u16string Transport::systemError(std::uint32_t code) const {
    std::string text = nv::inet::systemErrorText(code);
    if (text.empty())
        text = "Error " + std::to_string(code);
    return utf8ToUtf16(text) + u"\n";
}

void Transport::beginLoad(bool probeOnly) {
    fetched_.clear();
    importsThisLoad_ = 0;
    bytesThisLoad_ = 0;
    probeOnly_ = probeOnly;
    loadLimitError_.clear();
}

namespace {

std::u16string megabytes(std::size_t bytes) {
    return utf8ToUtf16(std::to_string(bytes >> 20) + " MB");
}

}  // namespace

Transport::Fetch Transport::fetchDocument(const std::string& url, bool probeOnly,
                                          std::string& bytes, std::u16string& error) {
    HttpRequest request;
    request.method = "GET";
    request.url = url;
    request.headers = kAcceptLanguage;
    request.noCache = true;
    request.followRedirects = true;
    request.maxBodyBytes = kMaxDocumentBytes;
    if (!wsdlCredentials_.user.empty()) {
        request.credentials.user = utf16ToUtf8(wsdlCredentials_.user);
        request.credentials.password = utf16ToUtf8(wsdlCredentials_.password);
    }
    for (int attempt = 1;; ++attempt) {
        HttpResponse response = internet().send(request);
        if (response.error == nv::inet::kErrorResponseTooLarge) {
            error = u"The document is larger than " + megabytes(kMaxDocumentBytes) + u".\n";
            return Fetch::Failed;
        }
        if (response.error != 0 || !response.received) {
            error = systemError(response.error ? response.error : nv::inet::kErrorInternal);
            closeInternet();
            return Fetch::Failed;
        }
        if (response.status == 200) {
            bytes = std::move(response.body);
            bytesThisLoad_ += bytes.size();
            if (probeOnly)
                closeInternet();
            return Fetch::Document;
        }
        if (response.status == 404 && probeOnly) {
            closeInternet();
            return Fetch::NotFoundWhileProbing;
        }
        if ((response.status == 401 || response.status == 407) &&
            attempt <= kMaxCredentialPrompts &&
            promptAgain(response, url, attempt, request.credentials)) {
            // The answer serves this load's later requests too.
            wsdlCredentials_.user = utf8ToUtf16(request.credentials.user);
            wsdlCredentials_.password = utf8ToUtf16(request.credentials.password);
            continue;
        }
        error = statusFailure(response.status);
        return Fetch::Failed;
    }
}

std::optional<FetchedDocument> Transport::fetchImport(std::string_view location,
                                                      std::string_view baseUrl) {
    std::string resolved = nv::inet::resolveReference(baseUrl, location);
    if (!loadLimitError_.empty())
        return std::nullopt;  // the load is over
    if (resolved.empty() || !fetched_.insert(resolved).second)
        return std::nullopt;
    if (importsThisLoad_ >= kMaxImportsPerLoad) {
        loadLimitError_ = u"The document imports more than " +
                          utf8ToUtf16(std::to_string(kMaxImportsPerLoad)) + u" documents.\n";
        return std::nullopt;
    }
    if (bytesThisLoad_ >= kMaxBytesPerLoad) {
        loadLimitError_ = u"The document and its imports are larger than " +
                          megabytes(kMaxBytesPerLoad) + u" in all.\n";
        return std::nullopt;
    }
    ++importsThisLoad_;

    HttpRequest request;
    request.method = "GET";
    request.url = resolved;
    request.followRedirects = true;
    request.maxBodyBytes = std::min(kMaxDocumentBytes, kMaxBytesPerLoad - bytesThisLoad_);
    HttpResponse response = internet().send(request);
    if (response.error == nv::inet::kErrorResponseTooLarge) {
        loadLimitError_ = u"The imported document " + utf8ToUtf16(resolved) + u" is larger than " +
                          megabytes(*request.maxBodyBytes) + u".\n";
        return std::nullopt;
    }
    if (response.error != 0 || !response.received)
        return std::nullopt;
    if (response.status == 401) {
        std::string challenge = response.headers.get("WWW-Authenticate").value_or(std::string());
        std::string scheme = challenge.substr(0, challenge.find(' '));
        if (scheme == "Basic") {
            authScheme_ = 1;
            request.credentials.scheme = AuthScheme::Basic;
        } else if (scheme == "Digest") {
            authScheme_ = 2;
            request.credentials.scheme = AuthScheme::Digest;
        } else if (scheme == "NTLM") {
            authScheme_ = 3;
            request.credentials.scheme = AuthScheme::Ntlm;
        } else {
            return std::nullopt;  // unsupported scheme: the import is skipped
        }
        request.credentials.user = utf16ToUtf8(wsdlCredentials_.user);
        request.credentials.password = utf16ToUtf8(wsdlCredentials_.password);
        response = internet().send(request);
        if (response.error != 0 || !response.received)
            return std::nullopt;
    }
    if (response.status != 200)
        return std::nullopt;
    bytesThisLoad_ += response.body.size();
    if (probeOnly_)
        closeInternet();
    std::string url = response.effectiveUrl.empty() ? resolved : response.effectiveUrl;
    return FetchedDocument{std::move(url), std::move(response.body)};
}

Transport::PostResult Transport::post(const std::string& address, const std::string& soapAction,
                                      const std::string& body, bool dime,
                                      const Credentials& endpoint) {
    PostResult result;
    std::optional<nv::inet::Url> url = nv::inet::Url::parse(address);
    if (!url) {
        result.error = systemError(nv::inet::kErrorInvalidUrl);
        return result;
    }
    // Endpoint credentials replace those of the address; an over-long user name (beyond 128
    // characters) is not used, while the password still replaces the address's.
    if (!endpoint.user.empty()) {
        if (endpoint.user.size() <= 128)
            url->user = utf16ToUtf8(endpoint.user);
        url->password = utf16ToUtf8(endpoint.password);
    }
    HttpRequest request;
    request.method = "POST";
    request.url = url->toString();
    request.headers = postHeaders(soapAction, dime);
    request.body = body;
    request.noCache = true;
    request.maxBodyBytes = kMaxResponseBytes;
    for (int attempt = 1;; ++attempt) {
        HttpResponse response = internet().send(request);
        if (response.error == nv::inet::kErrorResponseTooLarge) {
            result.error = u"The response is larger than " + megabytes(kMaxResponseBytes) + u".\n";
            return result;
        }
        if (response.error != 0 || !response.received) {
            result.error = systemError(response.error ? response.error : nv::inet::kErrorInternal);
            return result;
        }
        if (response.status == 401 && attempt <= kMaxCredentialPrompts &&
            promptAgain(response, address, attempt, request.credentials))
            continue;
        result.sent = true;
        result.status = response.status;
        if (response.status != 200)
            result.error = statusFailure(response.status);
        result.body = std::move(response.body);
        return result;
    }
}

int Transport::probe(const std::string& address, const std::string& soapAction,
                     const std::string& body, std::u16string& error) {
    HttpRequest request;
    request.method = "POST";
    request.url = address;
    request.headers = postHeaders(soapAction, false);
    request.body = body;
    request.noCache = true;
    request.maxBodyBytes = kMaxResponseBytes;
    HttpResponse response = internet().send(request);
    if (response.error != 0 || !response.received) {
        error = systemError(response.error ? response.error : nv::inet::kErrorInternal);
        return 404;
    }
    if (response.status != 200)
        error = statusFailure(response.status);
    return response.status;
}

}  // namespace wscore
