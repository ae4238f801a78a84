#include "engine/wsdl/wsdl_loader.h"

#include "engine/schema/schema_loader.h"
#include "engine/wsdl/wsdl_namespaces.h"
#include "engine/wsdl/wsdl_readers.h"

namespace wscore {

using nv::xml::Document;
using nv::xml::Node;

WsdlLoader::WsdlLoader(DocumentModel& model, DocumentSource* source)
    : model_(model), source_(source) {}

WsdlLoader::~WsdlLoader() = default;

namespace {

Node findDefinitions(const Document& doc) {
    for (Node top : doc.documentNode().children())
        if (top.baseName() == "definitions")
            return top;
    return Node();
}

}  // namespace

void WsdlLoader::collect(Node definitions, Source* source, int depth) {
    for (Node c : definitions.children()) {
        if (c.baseName().empty())
            continue;
        if (c.baseName() == "import" && c.namespaceURI() == ns::kWsdl && source_ &&
            depth < kMaxWsdlImportNesting) {
            std::string location = c.attribute("location");
            if (location.empty())
                continue;
            std::optional<FetchedDocument> fetched = source_->fetchImport(location, source->url);
            if (!fetched)
                continue;
            upgrade1999Namespaces(fetched->bytes);
            auto doc = std::make_unique<Document>();
            doc->setValidateOnParse(false);
            if (!doc->loadXML(std::string_view(fetched->bytes)))
                continue;
            Node imported = findDefinitions(*doc);
            if (!imported)
                continue;
            auto scope = std::make_unique<Source>();
            scope->url = fetched->url;
            readNamespaceDeclarations(imported, scope->prefixes, model_.namespaces);
            Source* raw = scope.get();
            sources_.push_back(std::move(scope));
            imported_.push_back(std::move(doc));
            collect(imported, raw, depth + 1);
            continue;
        }
        children_.push_back({c, source});
    }
}

void WsdlLoader::walkKind(std::string_view kind) {
    for (const Child& child : children_) {
        if (child.node.baseName() != kind)
            continue;
        DefinitionsScope scope{child.source->main ? nullptr : &child.source->prefixes};
        if (kind == "types") {
            // Only the first `types` element of each document is read.
            if (child.source->typesSeen)
                continue;
            child.source->typesSeen = true;
            SchemaLoader loader({model_.types, model_.derivedTypes, model_.namespaces}, source_);
            for (Node s : child.node.children())
                if (s.baseName() == "schema")
                    loader.readSchema(s, child.source->prefixes, child.source->url);
        } else if (kind == "message") {
            readMessage(model_, scope, child.node);
        } else if (kind == "service") {
            readService(model_, child.node);
        } else if (kind == "binding") {
            readBinding(model_, child.node);
        } else if (kind == "portType") {
            readPortType(model_, child.node);
        }
    }
}

void WsdlLoader::walk(const Document& doc, std::string_view documentUrl) {
    Node definitions = findDefinitions(doc);
    if (!definitions)
        return;
    auto main = std::make_unique<Source>();
    main->main = true;
    main->url = std::string(documentUrl);
    PrefixMap local;
    readNamespaceDeclarations(definitions, local, model_.namespaces);
    model_.definitionsPrefixes = local;
    main->prefixes = std::move(local);
    Source* raw = main.get();
    sources_.push_back(std::move(main));
    collect(definitions, raw, 0);

    walkKind("types");
    SchemaLoader::resolveTypes(model_.types);
    walkKind("message");
    walkKind("service");
    walkKind("binding");
    walkKind("portType");

    // An operation met only once (only in a binding, or only in a port type) gets the
    // encoding kind its style and use give.
    for (const std::string& key : model_.services.memberNames()) {
        WsdlService* service = model_.service(key);
        if (!service)
            continue;
        for (const std::string& opKey : service->memberNames()) {
            WsdlOperation* op = service->operation(opKey);
            if (op && !op->encodingKindComputed)
                op->computeEncodingKind();
        }
    }
}

}  // namespace wscore
