// Fuzz target: a WSDL document from bytes into the model, then every structure of every
// operation and the request built from it (imports are not followed).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "engine/soap/request_builder.h"
#include "engine/structure/expansion.h"
#include "engine/structure/message_structures.h"
#include "engine/wsdl/document_source.h"
#include "engine/wsdl/wsdl_loader.h"
#include "platform/xmldom/document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    wscore::upgrade1999Namespaces(bytes);
    nv::xml::Document doc;
    if (!doc.loadXML(std::string_view(bytes)))
        return 0;
    wscore::DocumentModel model;
    wscore::WsdlLoader(model, nullptr).walk(doc, "http://127.0.0.1/fuzz.wsdl");
    wscore::MessageModule messages;
    for (const std::string& serviceKey : model.services.memberNames()) {
        wscore::WsdlService* service = model.service(serviceKey);
        if (!service)
            continue;
        model.selectedService = service;
        for (const std::string& opKey : service->memberNames()) {
            const wscore::WsdlOperation* op = service->operation(opKey);
            if (!op)
                continue;
            std::vector<wscore::FlatRecord> input = wscore::flattenAll(
                wscore::buildMessageTree(model, *op, wscore::kDirectionInput), 1);
            wscore::flattenAll(wscore::buildMessageTree(model, *op, wscore::kDirectionOutput), 1);
            for (wscore::FlatRecord& r : input)
                r.theData.assign(1, u'1');
            wscore::BuiltRequest request;
            std::u16string error;
            wscore::buildRequest(model, *op, input, messages, request, error, false);
            // A request that was built is well-formed XML.
            if (error.empty()) {
                nv::xml::Document check;
                if (!check.loadXML(std::string_view(request.bytes))) {
                    // Show the broken request before stopping: it is the finding.
                    std::fwrite(request.bytes.data(), 1, request.bytes.size(), stderr);
                    std::fputc('\n', stderr);
                    __builtin_trap();
                }
            }
        }
    }
    return 0;
}
