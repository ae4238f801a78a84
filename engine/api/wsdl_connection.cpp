#include "engine/api/wsdl_connection.h"

#include "engine/api/module_state.h"
#include "engine/resources/message_ids.h"
#include "engine/soap/request_builder.h"
#include "engine/soap/response_reader.h"
#include "engine/structure/expansion.h"
#include "engine/structure/message_structures.h"
#include "engine/wsdl/wsdl_loader.h"
#include "platform/inet/connectivity.h"
#include "platform/soap/reader.h"
#include "platform/text/unicode.h"
#include "platform/xmldom/document.h"

namespace wscore {

namespace {

using nv::text::utf16ToUtf8;
using nv::text::utf8ToUtf16;

}  // namespace

WsdlConnection::WsdlConnection() = default;
WsdlConnection::~WsdlConnection() = default;

void WsdlConnection::openMessageLibrary() {
    messages_.openResourceLibrary();
}

std::u16string WsdlConnection::message(int id) const {
    return messages_.text(id);
}

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

    // The Internet values may have changed since the last load (the options dialog writes
    // them): a session made with the old proxy must not be used for this one.
    readInternetSettings(settings_);
    transport_.closeInternet();
    std::uint32_t connect =
        connectTimeout_ ? static_cast<std::uint32_t>(connectTimeout_) : settings_.connectTimeout;
    std::uint32_t response =
        responseTimeout_ ? static_cast<std::uint32_t>(responseTimeout_) : settings_.responseTimeout;
    applyProcessTimeouts(connect, response);

    bool loaded =
        request.useCache ? loadFromCache(request, error) : loadFromNetwork(request, error);
    if (!loaded)
        return false;
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
    if (!transport_.loadLimitError().empty()) {
        error = transport_.loadLimitError();
        model_.clear();
        return false;
    }
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
        case Transport::Fetch::Failed:
            return false;
        case Transport::Fetch::NotFoundWhileProbing:
            return true;
        case Transport::Fetch::Document:
            break;
    }
    if (bytes.empty()) {
        // An empty answer is no document; saying so beats reporting a service-less success.
        if (request.probeOnly)
            return true;
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
    if (!transport_.loadLimitError().empty()) {
        error = transport_.loadLimitError();
        model_.clear();
        return false;
    }
    return true;
}

bool WsdlConnection::getOperations(std::u16string_view service,
                                   std::vector<std::u16string>& operations, std::u16string& error) {
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
        error = message(msg::NotAnOperation, {name, utf8ToUtf16(model_.selectedService->name)});
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
    if (!op)
        return false;
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
                                         const std::vector<FlatRecord>& input, std::u16string& text,
                                         std::u16string& error) {
    if (!model_.selectedService) {
        error = message(msg::MustAnalyzeFirst);
        return false;
    }
    WsdlOperation* op = findOperation(operation, error);
    if (!op)
        return false;
    // The text of a request is its envelope: attachments are named, their files not read.
    BuiltRequest request;
    if (!buildRequest(model_, *op, input, messages_, request, error, false))
        return false;
    // The bytes are UTF-8, as the request says; the text ends at its last tag.
    text = utf8ToUtf16(request.bytes);
    std::size_t last = text.rfind(u'>');
    text.resize(last == std::u16string::npos ? 0 : last + 1);
    return true;
}

std::int32_t WsdlConnection::invokeOperation(std::u16string_view operation,
                                             const std::vector<FlatRecord>& input,
                                             std::vector<FlatRecord>& output,
                                             std::u16string& error) {
    output.clear();
    if (!model_.selectedService) {
        error = message(msg::MustAnalyzeFirst);
        return 0;
    }
    WsdlOperation* op = findOperation(operation, error);
    if (!op)
        return 0;
    BuiltRequest request;
    std::u16string buildError;
    if (!buildRequest(model_, *op, input, messages_, request, buildError)) {
        error = message(msg::FailedToCreateInput) + buildError;
        return 0;
    }

    Transport::PostResult posted = transport_.post(op->targetAddress, op->soapAction, request.bytes,
                                                   request.dime, endpointCredentials_);
    if (!posted.sent) {
        error = posted.error;
        return 0;
    }
    std::int32_t result = posted.status;
    if (!posted.error.empty())
        error = posted.error;  // a fault usually comes with status 500
    if (posted.body.empty()) {
        if (error.empty())
            error = message(msg::NoDataReturned);
        return result;
    }

    nv::soap::Reader reader;
    bool loaded = op->outputDime.used ? reader.loadDime(posted.body) : reader.load(posted.body);
    // The last response is what came back, faults and unreadable answers included: showing an
    // earlier answer as the last one would mislead.
    op->lastResponseText = loaded ? reader.envelope().xml() : posted.body;
    if (!loaded) {
        error = message(msg::FailedToReadResponse) + utf8ToUtf16(reader.error()) + u"\n" +
                utf8ToUtf16(posted.body);
        if (settings_.useProxy)
            error += message(msg::CheckProxySettings);
        return result;
    }

    auto trimmed = [](std::string text) {
        std::size_t b = text.find_first_not_of(" \t\r\n");
        std::size_t e = text.find_last_not_of(" \t\r\n");
        return b == std::string::npos ? std::string() : text.substr(b, e - b + 1);
    };
    nv::xml::Node detail = reader.faultDetail();
    std::string detailText = detail ? trimmed(detail.text()) : std::string();
    if (!detailText.empty()) {
        error = message(msg::ServiceFault) + utf8ToUtf16(detail.text());
        return result;
    }
    if (nv::xml::Node faultString = reader.faultString()) {
        error = message(msg::ServiceFault) + utf8ToUtf16(faultString.text());
        return result;
    }
    if (result == 500)
        return result;  // with the status message of above

    std::size_t outputParts = 0;
    for (const std::string& key : op->memberNames()) {
        const SchemaNode* m = op->memberNode(key);
        if (m && !m->name.empty() &&
            (m->direction == kDirectionOutput || m->direction == kDirectionBoth))
            ++outputParts;
    }
    if (outputParts == 0) {
        error = message(msg::NoParametersFound, {u"output", operation});
        return result;
    }

    if (!op->outputDime.used && trimmed(reader.envelope().text()).empty()) {
        if (outputParts > 1) {
            error = message(msg::NoDataReturned);
            return result;
        }
        return -1;
    }
    ResponseMapping mapping{model_, *op, utf16ToUtf8(readWorkingDirectorySetting())};
    std::string limit;
    std::vector<std::unique_ptr<FieldRecord>> tree;
    if (!mapResponseTree(mapping, reader, tree, limit)) {
        error = message(msg::FailedToReadResponse) + utf8ToUtf16(limit);
        return result;
    }
    // The response's document is no longer needed: free it before the records are flattened.
    reader = nv::soap::Reader();
    posted = Transport::PostResult();
    output = flattenAll(std::move(tree), 1);
    return -1;
}

bool WsdlConnection::getOutputSoapMessage(std::u16string_view operation, std::u16string& text,
                                          std::u16string& error) {
    if (!model_.selectedService) {
        error = message(msg::MustAnalyzeFirst);
        return false;
    }
    WsdlOperation* op = findOperation(operation, error);
    if (!op)
        return false;
    text = utf8ToUtf16(op->lastResponseText);
    return true;
}

WsdlConnection::Lookup WsdlConnection::getSoapAction(std::u16string_view operation,
                                                     std::u16string& action, std::u16string&) {
    if (!model_.selectedService)
        return Lookup::Empty;
    WsdlOperation* op = model_.selectedService->operation(utf16ToUtf8(operation));
    if (!op)
        return Lookup::Empty;
    if (op->soapAction.empty())
        return Lookup::Empty;
    action = utf8ToUtf16(op->soapAction);
    return Lookup::Found;
}

WsdlConnection::Lookup WsdlConnection::getTargetUrl(std::u16string_view operation,
                                                    std::u16string& url, std::u16string&) {
    if (!model_.selectedService)
        return Lookup::Empty;
    WsdlOperation* op = model_.selectedService->operation(utf16ToUtf8(operation));
    if (!op)
        return Lookup::Empty;
    if (op->targetAddress.empty())
        return Lookup::Empty;
    url = utf8ToUtf16(op->targetAddress);
    return Lookup::Found;
}

bool WsdlConnection::setTargetUrl(std::u16string_view operation, std::u16string_view url,
                                  std::u16string&) {
    if (!model_.selectedService)
        return true;
    if (WsdlOperation* op = model_.selectedService->operation(utf16ToUtf8(operation)))
        op->targetAddress = utf16ToUtf8(url);
    return true;
}

std::int32_t WsdlConnection::ping(std::u16string_view address, std::u16string_view soapAction,
                                  std::u16string_view body, std::u16string& error) {
    return transport_.probe(utf16ToUtf8(address), utf16ToUtf8(soapAction), utf16ToUtf8(body),
                            error);
}

}  // namespace wscore
