// The document model a WsdlConnection holds: services with their operations, messages, the
// schema types and the namespace bookkeeping. Built by the loader, read by the structure
// builder, the request builder and the invocation.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "engine/schema/schema_node.h"
#include "engine/wsdl/model_container.h"
#include "engine/wsdl/namespace_registry.h"

namespace wscore {

// Binding style and use of an operation, as the request builder distinguishes them.
enum class EncodingKind : std::int32_t {
    DocumentLiteral = 0,
    DocumentOther = 1,
    RpcLiteral = 2,
    RpcEncoded = 4,
};

struct DimeSettings {
    bool used = false;
    bool closedLayout = false;  // else open
};

// An operation of a service; its members are the message parts bound to it (SchemaNodes with
// direction -1 input, 0 output; header parts flagged), headers before body parts.
class WsdlOperation : public ModelContainer {
  public:
    using ModelContainer::ModelContainer;
    ~WsdlOperation() override;

    std::string portType;
    std::string targetAddress;  // where requests go; SetTargetURL replaces it
    std::string inputNamespace;
    std::string encodingNamespace;  // the SOAP encoding namespace for rpc/encoded, else empty
    EncodingKind encodingKind = EncodingKind::DocumentLiteral;
    bool encodingKindComputed = false;
    DimeSettings inputDime;
    DimeSettings outputDime;
    std::string soapAction;
    std::string style;
    std::string use;
    // The text of the last response to this operation (UTF-8), for GetOutputSoapMessage.
    std::string lastResponseText;

    // The encoding kind that `style` and `use` give (also sets the encoding namespace).
    void computeEncodingKind();
    SchemaNode* memberNode(std::string_view key) const { return memberAs<SchemaNode>(key); }
};

class WsdlService : public ModelContainer {
  public:
    using ModelContainer::ModelContainer;
    ~WsdlService() override;

    // Binding local name -> endpoint address (empty until an address is read), port order.
    std::vector<std::pair<std::string, std::string>> endpoints;
    // Port type local name -> binding local name (the last binding read wins).
    std::map<std::string, std::string, std::less<>> portTypeBindings;
    std::vector<std::string> portTypeNames;  // one per binding of the service

    std::string* endpoint(std::string_view binding);
    WsdlOperation* operation(std::string_view key) const { return memberAs<WsdlOperation>(key); }
};

struct DocumentModel {
    ModelContainer services;  // WsdlService members, document order
    ModelContainer messages;  // message containers (members: part SchemaNodes)
    TypesTable types;
    DerivedTypeRegistry derivedTypes;
    NamespaceRegistry namespaces;
    // The definitions element's declarations: prefix -> URI ("" the default namespace), and
    // the target namespace under the key "targetNamespace".
    std::map<std::string, std::string, std::less<>> definitionsPrefixes;
    WsdlService* selectedService = nullptr;
    std::string location;

    void clear();
    WsdlService* service(std::string_view key) const { return services.memberAs<WsdlService>(key); }
};

}  // namespace wscore
