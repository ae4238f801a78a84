#include "engine/wsdl/wsdl_readers.h"

#include <memory>
#include <string>

#include "engine/wsdl/wsdl_namespaces.h"

namespace wscore {

using nv::xml::Node;

std::string_view localPart(std::string_view qname) {
    std::size_t colon = qname.find(':');
    if (colon == std::string_view::npos || colon == 0)
        return qname;
    return qname.substr(colon + 1);
}

namespace {

// Copies what the types table knows about a part's type into an operation member.
void copyFromType(const DocumentModel& model, SchemaNode& member) {
    const SchemaNode* type = model.types.memberNode(member.typeName);
    if (!type)
        return;
    member.complex = type->complex;
    member.array = type->array;
    member.list = type->list;
    member.abstract = type->abstract;
    member.baseTypeName = type->baseTypeName;
    member.dimensions = 1;
}

// Stores an operation member. A member of the other direction may already hold the name (an
// rpc part "data" both ways): the two stay apart under distinct keys.
void addOperationMember(WsdlOperation& op, std::unique_ptr<SchemaNode> node) {
    std::string key = node->name;
    if (SchemaNode* existing = op.memberNode(key)) {
        if (existing->direction == node->direction)
            return;  // the first definition wins
        key = (node->direction == 0 ? "\x01output\x01" : "\x01input\x01") + key;
        if (op.hasMember(key))
            return;
    }
    std::unique_ptr<ModelContainer> owned = std::move(node);
    op.addMember(key, owned);
}

// --- message -------------------------------------------------------------------------------

// Normalises a part's element/type reference. `uriOut` receives the reference's namespace when
// it has a prefix (and is left alone otherwise).
std::string normalizePartReference(const DocumentModel& model, const DefinitionsScope& scope,
                                   const PrefixMap& partLocal, std::string_view ref,
                                   std::string& uriOut) {
    std::size_t colon = ref.find(':');
    if (colon == std::string_view::npos)
        return std::string(ref);
    std::string_view prefix = ref.substr(0, colon);
    std::string_view local = ref.substr(colon + 1);
    std::string_view uri;
    if (auto it = partLocal.find(prefix); it != partLocal.end()) {
        uri = it->second;
    } else if (scope.prefixes && scope.prefixes->count(std::string(prefix))) {
        uri = scope.prefixes->find(prefix)->second;
    } else {
        uri = model.namespaces.uriOfPrefix(prefix);
    }
    uriOut = std::string(uri);
    if (uri == ns::kXmlSchema)
        return std::string(local);
    std::string out(model.namespaces.canonicalPrefix(uri));
    out += ':';
    out += local;
    return out;
}

}  // namespace

void readMessage(DocumentModel& model, const DefinitionsScope& scope, Node element) {
    std::string name = element.attribute("name");
    if (name.empty())
        return;
    auto owned = std::make_unique<ModelContainer>(name);
    ModelContainer* message = owned.get();
    std::unique_ptr<ModelContainer> holder = std::move(owned);
    if (!model.messages.addMember(name, holder) || holder)
        return;  // the first one wins

    PrefixMap partLocal;  // xmlns: declarations of earlier parts stay for the later ones
    std::string lastElementUri;
    std::string unusedUri;
    for (Node part : element.children()) {
        if (part.baseName() != "part")
            continue;
        for (const nv::xml::Attribute& a : part.attributes())
            if (a.qualifiedName.rfind("xmlns:", 0) == 0)
                partLocal[a.qualifiedName.substr(6)] = a.value;
        std::string partName = part.attribute("name");
        std::string ref = part.attribute("element");
        bool isElement = !ref.empty();
        if (!isElement)
            ref = part.attribute("type");
        std::string typeName = normalizePartReference(model, scope, partLocal, ref,
                                                      isElement ? lastElementUri : unusedUri);

        auto node = std::make_unique<SchemaNode>(partName);
        node->typeName = typeName;
        node->elementDeclaration = isElement;
        if (const SchemaNode* type = model.types.memberNode(typeName))
            node->complex = type->complex;
        node->namespaceUri = lastElementUri;
        addNode(*message, std::move(node));
        message->namespaceUri = lastElementUri;
    }
}

// --- service, port, address ----------------------------------------------------------------

void readService(DocumentModel& model, Node element) {
    std::string name = element.attribute("name");
    if (name.empty())
        return;
    std::unique_ptr<ModelContainer> owned = std::make_unique<WsdlService>(name);
    auto* service = static_cast<WsdlService*>(owned.get());
    model.services.addMember(name, owned);
    // A duplicate name keeps the first service; this one is read and then dropped.
    std::unique_ptr<ModelContainer> dropped = std::move(owned);

    for (Node port : element.children()) {
        if (port.baseName() != "port" || port.namespaceURI() != ns::kWsdl)
            continue;
        std::string binding(localPart(port.attribute("binding")));
        std::string* address = service->endpoint(binding);
        if (address)
            address->clear();
        else
            address = &service->endpoints.emplace_back(binding, std::string()).second;
        for (Node a : port.children()) {
            if (a.baseName() != "address" || !ns::isSoapBinding(a.namespaceURI()))
                continue;
            std::string location = a.attribute("location");
            if (!location.empty())
                *address = location;
        }
    }
}

// --- binding and port type operations ------------------------------------------------------

namespace {

struct OperationContext {
    DocumentModel& model;
    WsdlService& service;
    std::string portTypeName;  // empty for a binding's operations
    bool fromBinding;
    std::string bindingStyle;
};

void readHeader(DocumentModel& model, WsdlOperation& op, Node header, int direction) {
    std::string messageName(localPart(header.attribute("message")));
    std::string use = header.attribute("use");
    std::string partName = header.attribute("part");
    ModelContainer* message = model.messages.member(messageName);
    if (!message)
        return;
    auto* part = message->memberAs<SchemaNode>(partName);
    if (!part)
        return;
    op.use = use;
    std::unique_ptr<SchemaNode> node = part->copy();
    node->name = part->typeName;
    node->direction = direction;
    node->header = true;
    node->required = false;
    copyFromType(model, *node);
    std::string key = (direction == -1 ? "input:" : "output:") + node->name;
    if (op.hasMember(key))
        return;
    // Headers of one direction stay in document order, before that direction's body parts.
    std::size_t position = op.memberNames().size();
    for (std::size_t i = 0; i < op.memberNames().size(); ++i) {
        const SchemaNode* m = op.memberNode(op.memberNames()[i]);
        if (m && !m->header && m->direction == direction) {
            position = i;
            break;
        }
    }
    std::unique_ptr<ModelContainer> owned = std::move(node);
    op.insertMember(position, key, owned);
}

void readBindingMessage(OperationContext& ctx, WsdlOperation& op, Node io, bool input) {
    for (Node c : io.children()) {
        std::string_view local = c.baseName();
        std::string_view uri = c.namespaceURI();
        if (local == "body" && input && ns::isSoapBinding(uri)) {
            op.use = c.attribute("use");
        } else if (local == "header" && ns::isSoapBinding(uri)) {
            readHeader(ctx.model, op, c, input ? -1 : 0);
        } else if (local == "message" && uri == ns::kDimeWsdl) {
            DimeSettings& dime = input ? op.inputDime : op.outputDime;
            dime.used = true;
            std::string layout = c.attribute("layout");
            if (layout == ns::kDimeOpenLayout)
                dime.closedLayout = false;
            if (layout == ns::kDimeClosedLayout)
                dime.closedLayout = true;
        }
    }
}

void readPortTypeMessage(OperationContext& ctx, WsdlOperation& op, Node io, bool input) {
    std::string messageName(localPart(io.attribute("message")));
    ModelContainer* message = ctx.model.messages.member(messageName);
    if (!message)
        return;
    for (const std::string& partKey : message->memberNames()) {
        const auto* part = message->memberAs<SchemaNode>(partKey);
        if (!part)
            continue;
        auto node =
            std::make_unique<SchemaNode>(part->elementDeclaration ? part->typeName : part->name);
        node->typeName = part->typeName;
        node->direction = input ? -1 : 0;
        node->namespaceUri = part->namespaceUri;
        node->elementDeclaration = part->elementDeclaration;  // named by an element: qualified
        copyFromType(ctx.model, *node);
        addOperationMember(op, std::move(node));
    }
    if (input)
        op.inputNamespace = message->namespaceUri;
}

void readOperation(OperationContext& ctx, Node element) {
    std::string name = element.attribute("name");
    WsdlOperation* op = ctx.service.operation(name);
    std::unique_ptr<ModelContainer> dropped;
    if (op) {
        op->portType = ctx.portTypeName;
        op->targetAddress.clear();
        if (auto b = ctx.service.portTypeBindings.find(ctx.portTypeName);
            b != ctx.service.portTypeBindings.end()) {
            if (std::string* address = ctx.service.endpoint(b->second))
                op->targetAddress = *address;
        }
        op->computeEncodingKind();
    } else {
        std::unique_ptr<ModelContainer> owned = std::make_unique<WsdlOperation>(name);
        op = static_cast<WsdlOperation*>(owned.get());
        op->style = ctx.bindingStyle;
        ctx.service.addMember(name, owned);
        dropped = std::move(owned);  // non-null only when the name could not be stored
    }

    for (Node c : element.children()) {
        std::string_view local = c.baseName();
        std::string_view uri = c.namespaceURI();
        if (local.empty())
            continue;
        if (local == "operation" && ns::isSoapBinding(uri)) {
            op->soapAction = c.attribute("soapAction");
            if (c.hasAttribute("style")) {
                ctx.bindingStyle = c.attribute("style");
                op->style = ctx.bindingStyle;
            }
        } else if ((local == "input" || local == "output") && uri == ns::kWsdl) {
            bool input = local == "input";
            if (ctx.fromBinding)
                readBindingMessage(ctx, *op, c, input);
            else
                readPortTypeMessage(ctx, *op, c, input);
        } else if (local == "documentation" && uri == ns::kWsdl && !ctx.fromBinding) {
            if (op->portType == ctx.portTypeName || op->description.empty())
                op->description = c.text();
        }
    }
}

WsdlService* serviceWithEndpoint(DocumentModel& model, std::string_view binding) {
    for (const std::string& key : model.services.memberNames()) {
        WsdlService* s = model.service(key);
        if (s && s->endpoint(binding))
            return s;
    }
    return nullptr;
}

}  // namespace

void readBinding(DocumentModel& model, Node element) {
    Node first = element.firstChild();
    if (first && first.type() == nv::xml::NodeType::Element &&
        first.namespaceURI() == ns::kHttpBinding)
        return;
    std::string name = element.attribute("name");
    if (name.empty())
        return;
    WsdlService* service = serviceWithEndpoint(model, name);
    if (!service)
        return;
    std::string portType(localPart(element.attribute("type")));
    service->portTypeNames.push_back(portType);
    service->portTypeBindings[portType] = name;

    OperationContext ctx{model, *service, std::string(), true, std::string()};
    for (Node c : element.children()) {
        std::string_view local = c.baseName();
        std::string_view uri = c.namespaceURI();
        if (local.empty())
            continue;
        if (local == "binding") {
            if (uri == ns::kHttpBinding)
                return;
            if (ns::isSoapBinding(uri))
                ctx.bindingStyle = c.attribute("style");
        } else if (local == "operation") {
            OperationContext opCtx = ctx;
            readOperation(opCtx, c);
        }
    }
}

void readPortType(DocumentModel& model, Node element) {
    std::string name = element.attribute("name");
    WsdlService* service = nullptr;
    for (const std::string& key : model.services.memberNames()) {
        WsdlService* s = model.service(key);
        if (!s)
            continue;
        for (const std::string& pt : s->portTypeNames) {
            if (pt == name) {
                service = s;
                break;
            }
        }
        if (service)
            break;
    }
    if (!service)
        return;
    OperationContext ctx{model, *service, name, false, std::string()};
    for (Node c : element.children()) {
        if (c.baseName() == "operation" && c.namespaceURI() == ns::kWsdl) {
            OperationContext opCtx = ctx;
            readOperation(opCtx, c);
        }
    }
}

}  // namespace wscore
