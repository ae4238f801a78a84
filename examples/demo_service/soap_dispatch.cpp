#include "examples/demo_service/soap_dispatch.h"

#include <exception>
#include <optional>
#include <string>

#include "examples/demo_service/base64.h"
#include "examples/demo_service/demo_namespaces.h"
#include "examples/demo_service/envelope.h"
#include "platform/dime/parser.h"
#include "platform/soap/namespaces.h"
#include "platform/soap/reader.h"
#include "platform/text/unicode.h"

namespace nv::demo {

namespace {

// Requests are small; these bound what a hostile one can make the parser hold.
constexpr dime::ParseLimits kDimeLimits{1000, 16u * 1024 * 1024, 16u * 1024 * 1024};

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    return text::equalsIgnoreCase(text::utf8ToUtf16(a), text::utf8ToUtf16(b));
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

bool isDime(std::string_view contentType) {
    return equalsIgnoreCase(trim(contentType.substr(0, contentType.find(';'))), "application/dime");
}

// The user name when `authorization` carries the demo's Basic credentials; empty otherwise.
std::string basicUser(std::string_view authorization) {
    authorization = trim(authorization);
    const std::size_t space = authorization.find(' ');
    if (space == std::string_view::npos ||
        !equalsIgnoreCase(authorization.substr(0, space), "Basic"))
        return {};
    const std::optional<std::string> credentials = decodeBase64(trim(authorization.substr(space)));
    if (!credentials)
        return {};
    const std::string expected = std::string(kDemoUser) + ":" + std::string(kDemoPassword);
    return *credentials == expected ? std::string(kDemoUser) : std::string();
}

Answer unauthorized(std::string_view operation) {
    Answer answer;
    answer.status = 401;
    answer.contentType = "text/plain; charset=utf-8";
    answer.headers.emplace_back("WWW-Authenticate",
                                "Basic realm=\"" + std::string(kBasicRealm) + "\"");
    answer.body = std::string(operation) + " needs HTTP Basic authentication.\n";
    return answer;
}

bool isTrue(std::string_view flag) {
    return flag == "1" || flag == "true";
}

// The first Body entry that is not an independent multi-reference value (soapenc:root="0").
xml::Node operationEntry(const soap::Reader& message) {
    for (xml::Node entry : message.bodyEntries()) {
        if (entry.attributeNS(kSoapEncodingNs, "root") != "0")
            return entry;
    }
    return {};
}

void checkMustUnderstand(const soap::Reader& message, const Operation& operation) {
    for (xml::Node entry : message.headerEntries()) {
        if (!isTrue(entry.attributeNS(soap::kSoap11EnvelopeNs, "mustUnderstand")))
            continue;
        if (!operation.understoodHeader.empty() && entry.baseName() == operation.understoodHeader)
            continue;
        throw SoapFault(FaultCode::MustUnderstand, "the header '" + std::string(entry.baseName()) +
                                                       "' is not understood by " +
                                                       std::string(operation.name));
    }
}

Answer dispatchOrThrow(std::span<const Operation> operations, const SoapRequest& request) {
    if (request.body.empty())
        throw SoapFault(FaultCode::Client, "the request has no body");
    soap::Reader message;
    const bool loaded = isDime(request.contentType) ? message.loadDime(request.body, kDimeLimits)
                                                    : message.load(request.body);
    if (!loaded)
        throw SoapFault(FaultCode::Client, "the request is not a SOAP message: " + message.error());
    if (message.version() != soap::SoapVersion::Soap11) {
        throw SoapFault(FaultCode::VersionMismatch, "this service speaks SOAP 1.1 (" +
                                                        std::string(soap::kSoap11EnvelopeNs) + ")");
    }
    if (message.body().isNull())
        throw SoapFault(FaultCode::Client, "the envelope has no Body");
    const xml::Node entry = operationEntry(message);
    if (entry.isNull())
        throw SoapFault(FaultCode::Client, "the Body names no operation");

    const Operation* operation = nullptr;
    for (const Operation& candidate : operations) {
        if (candidate.name == entry.baseName())
            operation = &candidate;
    }
    if (!operation) {
        throw SoapFault(FaultCode::Client,
                        "this port has no operation '" + std::string(entry.baseName()) + "'");
    }
    std::string user;
    if (operation->needsBasicAuth) {
        user = basicUser(request.authorization);
        if (user.empty())
            return unauthorized(operation->name);
    }
    checkMustUnderstand(message, *operation);
    const RequestReader read(message.body());
    return operation->handler(Call{message, read, entry, user});
}

}  // namespace

Answer dispatchSoap(std::span<const Operation> operations, const SoapRequest& request) {
    try {
        return dispatchOrThrow(operations, request);
    } catch (const SoapFault& fault) {
        return faultAnswer(fault.code(), fault.what(), fault.detailMarkup());
    } catch (const std::exception& e) {
        return faultAnswer(FaultCode::Server, std::string("the service failed: ") + e.what());
    }
}

}  // namespace nv::demo
