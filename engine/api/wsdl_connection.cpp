#include "engine/api/wsdl_connection.h"

#include "engine/api/module_state.h"
#include "engine/resources/message_ids.h"
#include "engine/structure/expansion.h"
#include "engine/structure/message_structures.h"
#include "engine/wsdl/wsdl_loader.h"
#include "platform/inet/connectivity.h"
#include "platform/text/unicode.h"
#include "platform/xmldom/document.h"

namespace wscore {

namespace {

using nv::text::utf16ToUtf8;
using nv::text::utf8ToUtf16;

}  // namespace

WsdlConnection::WsdlConnection() = default;
WsdlConnection::~WsdlConnection() = default;

void WsdlConnection::openMessageLibrary() { messages_.openResourceLibrary(); }

std::u16string WsdlConnection::message(int id) const { return messages_.text(id); }

std::u16string WsdlConnection::message(int id,
                                       std::initializer_list<std::u16string_view> args) const {
    return formatMessage(messages_.text(id), args);
}

void WsdlConnection::setTimeouts(std::int32_t connectSeconds, std::int32_t responseSeconds) {
    connectTimeout_ = connectSeconds;
    responseTimeout_ = responseSeconds;
}

bool WsdlConnection::load(const LoadRequest& request, std::vector<std::u16string>& services,
                          std::u16string& error) {
    services.clear();
    model_.clear();
    model_.location = utf16ToUtf8(request.location);

    readInternetSettings(settings_);
    std::uint32_t connect = connectTimeout_ ? static_cast<std::uint32_t>(connectTimeout_)
                                            : settings_.connectTimeout;
    std::uint32_t response = responseTimeout_ ? static_cast<std::uint32_t>(responseTimeout_)
                                              : settings_.responseTimeout;
    applyProcessTimeouts(connect, response);

    bool loaded = request.useCache ? loadFromCache(request, error) : loadFromNetwork(request, error);
    if (!loaded) return false;
    for (const std::string& key : model_.services.memberNames()) {
        services.push_back(utf8ToUtf16(key));
        services.emplace_back();  // services carry no description
    }
    return true;
}

bool WsdlConnection::loadFromCache(const LoadRequest& request, std::u16string& error) {
    std::string path = utf16ToUtf8(workingDirectory() + request.cacheName + u".wsdl");
    nv::xml::Document doc;
    doc.setAsync(false);
    if (!doc.load(path)) {
        error = message(msg::UnableToLoadLocalFile) + utf8ToUtf16(doc.parseError().reason);
        return false;
    }
    transport_.beginLoad(false);
    WsdlLoader(model_, &transport_).walk(doc, model_.location);
    return true;
}

bool WsdlConnection::loadFromNetwork(const LoadRequest& request, std::u16string& error) {
    if (settings_.internetConnection && !nv::inet::machineIsConnected()) {
        error = message(msg::NoInternetConnection);
        return false;
    }
    transport_.beginLoad(request.probeOnly);
    std::string bytes;
    switch (transport_.fetchDocument(model_.location, request.probeOnly, bytes, error)) {
        case Transport::Fetch::Failed: return false;
        case Transport::Fetch::NotFoundWhileProbing: return true;
        case Transport::Fetch::Document: break;
    }
    if (bytes.empty()) {
        // An empty answer is no document; saying so beats reporting a service-less success.
        if (request.probeOnly) return true;
        error = message(msg::DomParseFailed) + u"The document is empty.";
        return false;
    }
    upgrade1999Namespaces(bytes);
    nv::xml::Document doc;
    doc.setValidateOnParse(false);
    if (!doc.loadXML(std::string_view(bytes))) {
        error = message(msg::DomParseFailed) + utf8ToUtf16(doc.parseError().reason);
        return false;
    }
    std::string().swap(bytes);  // the tree holds everything now; lower the peak
    WsdlLoader(model_, &transport_).walk(doc, model_.location);
    return true;
}

bool WsdlConnection::getOperations(std::u16string_view service,
                                   std::vector<std::u16string>& operations,
                                   std::u16string& error) {
    operations.clear();
    WsdlService* s = model_.service(utf16ToUtf8(service));
    model_.selectedService = s;
    if (!s) {
        error = message(msg::ServiceNotFound, {service});
        return false;
    }
    if (s->memberCount() == 0) {
        error = message(msg::NoOperationsFound, {service});
        return false;
    }
    for (const std::string& key : s->memberNames()) {
        const WsdlOperation* op = s->operation(key);
        operations.push_back(utf8ToUtf16(key));
        operations.push_back(op ? utf8ToUtf16(op->description) : std::u16string());
    }
    return true;
}

WsdlOperation* WsdlConnection::findOperation(std::u16string_view name,
                                             std::u16string& error) const {
    WsdlOperation* op = model_.selectedService->operation(utf16ToUtf8(name));
    if (!op)
        error = message(msg::NotAnOperation,
                        {name, utf8ToUtf16(model_.selectedService->name)});
    return op;
}

bool WsdlConnection::getStructure(std::u16string_view operation, Direction direction,
                                  std::vector<FlatRecord>& records, std::u16string& error) {
    records.clear();
    if (!model_.selectedService) {
        error = message(msg::MustAnalyzeFirst);
        return false;
    }
    WsdlOperation* op = findOperation(operation, error);
    if (!op) return false;
    int d = direction == Direction::Input ? kDirectionInput : kDirectionOutput;
    records = flattenAll(buildMessageTree(model_, *op, d), 1);
    return true;
}

bool WsdlConnection::getStructureOfAType(std::u16string_view elementName, std::int32_t level,
                                         std::u16string_view typeName,
                                         std::vector<FlatRecord>& records, std::u16string&) {
    records.clear();
    flatten(*buildTypeTree(model_, elementName, utf16ToUtf8(typeName)), level, records);
    return true;
}

bool WsdlConnection::getInputSoapMessage(std::u16string_view operation,
                                         const std::vector<FlatRecord>&, std::u16string&,
                                         std::u16string& error) {
    if (!model_.selectedService) {
        error = message(msg::MustAnalyzeFirst);
        return false;
    }
    if (!findOperation(operation, error)) return false;
    // The request builder is not part of this build yet.
    error = message(msg::FailedToCreateInput);
    return false;
}

std::int32_t WsdlConnection::invokeOperation(std::u16string_view operation,
                                             const std::vector<FlatRecord>&,
                                             std::vector<FlatRecord>& output,
                                             std::u16string& error) {
    output.clear();
    if (!model_.selectedService) {
        error = message(msg::MustAnalyzeFirst);
        return 0;
    }
    if (!findOperation(operation, error)) return 0;
    error = message(msg::FailedToCreateInput);
    return 0;
}

bool WsdlConnection::getOutputSoapMessage(std::u16string_view operation, std::u16string& text,
                                          std::u16string& error) {
    if (!model_.selectedService) {
        error = message(msg::MustAnalyzeFirst);
        return false;
    }
    WsdlOperation* op = findOperation(operation, error);
    if (!op) return false;
    text = utf8ToUtf16(op->lastResponseText);
    return true;
}

WsdlConnection::Lookup WsdlConnection::getSoapAction(std::u16string_view operation,
                                                     std::u16string& action,
                                                     std::u16string& error) {
    if (!model_.selectedService) return Lookup::Empty;
    WsdlOperation* op = findOperation(operation, error);
    if (!op) return Lookup::Failed;
    if (op->soapAction.empty()) return Lookup::Empty;
    action = utf8ToUtf16(op->soapAction);
    return Lookup::Found;
}

WsdlConnection::Lookup WsdlConnection::getTargetUrl(std::u16string_view operation,
                                                    std::u16string& url, std::u16string& error) {
    if (!model_.selectedService) return Lookup::Empty;
    WsdlOperation* op = findOperation(operation, error);
    if (!op) return Lookup::Failed;
    if (op->targetAddress.empty()) return Lookup::Empty;
    url = utf8ToUtf16(op->targetAddress);
    return Lookup::Found;
}

bool WsdlConnection::setTargetUrl(std::u16string_view operation, std::u16string_view url,
                                  std::u16string& error) {
    if (!model_.selectedService) return true;
    WsdlOperation* op = findOperation(operation, error);
    if (!op) return false;
    op->targetAddress = utf16ToUtf8(url);
    return true;
}

std::int32_t WsdlConnection::ping(std::u16string_view address, std::u16string_view soapAction,
                                  std::u16string_view body, std::u16string& error) {
    return transport_.probe(utf16ToUtf8(address), utf16ToUtf8(soapAction), utf16ToUtf8(body),
                            error);
}

}  // namespace wscore
