#include "engine/wsdl/wsdl_model.h"

#include "engine/wsdl/wsdl_namespaces.h"

namespace wscore {

WsdlOperation::~WsdlOperation() = default;

void WsdlOperation::computeEncodingKind() {
    encodingKindComputed = true;
    encodingNamespace.clear();
    if (style == "document") {
        encodingKind =
            use == "literal" ? EncodingKind::DocumentLiteral : EncodingKind::DocumentOther;
        return;
    }
    if (use == "literal") {
        encodingKind = EncodingKind::RpcLiteral;
        return;
    }
    encodingKind = EncodingKind::RpcEncoded;
    encodingNamespace = std::string(ns::kSoapEncodingNoSlash);
}

WsdlService::~WsdlService() = default;

std::string* WsdlService::endpoint(std::string_view binding) {
    for (auto& [bindingName, address] : endpoints)
        if (bindingName == binding)
            return &address;
    return nullptr;
}

void DocumentModel::clear() {
    services.clearMembers();
    messages.clearMembers();
    types.clearMembers();
    derivedTypes.clear();
    namespaces.clear();
    definitionsPrefixes.clear();
    selectedService = nullptr;
    location.clear();
}

}  // namespace wscore
