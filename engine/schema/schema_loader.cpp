#include "engine/schema/schema_loader.h"

#include "engine/schema/schema_readers.h"

namespace wscore {

using nv::xml::Document;
using nv::xml::Node;

void readNamespaceDeclarations(Node element, PrefixMap& map, NamespaceRegistry& registry) {
    for (const nv::xml::Attribute& a : element.attributes()) {
        std::string_view name = a.qualifiedName;
        if (name.rfind("xmlns", 0) == 0) {
            std::size_t colon = name.find(':');
            std::string prefix = colon != std::string_view::npos && colon != 0
                                     ? std::string(name.substr(colon + 1))
                                     : std::string();
            map[prefix] = a.value;
            registry.add(a.value, prefix);
        } else if (name.rfind("targetNamespace", 0) == 0) {
            map["targetNamespace"] = a.value;
        }
    }
}

SchemaLoader::SchemaLoader(SchemaTables tables, DocumentSource* source)
    : tables_(tables), source_(source) {}

void SchemaLoader::readSchema(Node schema, const PrefixMap& inherited, std::string_view baseUrl) {
    SchemaContext ctx;
    ctx.prefixes = inherited;
    if (auto it = inherited.find("targetNamespace"); it != inherited.end())
        ctx.targetNamespace = it->second;
    ctx.baseUrl = std::string(baseUrl);
    readSchemaWith(schema, std::move(ctx));
}

void SchemaLoader::readSchemaWith(Node schema, SchemaContext ctx) {
    for (const nv::xml::Attribute& a : schema.attributes()) {
        std::string_view name = a.qualifiedName;
        if (name.rfind("xmlns", 0) == 0) {
            std::size_t colon = name.find(':');
            std::string prefix = colon != std::string_view::npos && colon != 0
                                     ? std::string(name.substr(colon + 1))
                                     : std::string();
            ctx.prefixes[prefix] = a.value;
            tables_.namespaces.add(a.value, prefix);
        } else if (name == "targetNamespace") {
            ctx.targetNamespace = a.value;
        } else if (name == "elementFormDefault") {
            ctx.elementsQualified = a.value == "qualified";
        } else if (name == "attributeFormDefault") {
            ctx.attributesQualified = a.value == "qualified";
        }
    }
    // Imports first, so imported definitions enter the table before this schema's own.
    for (Node c : schema.children()) {
        if (c.baseName() != "import")
            continue;
        std::string location = c.attribute("schemaLocation");
        if (!location.empty())
            followImport(location, ctx.baseUrl);
    }
    for (Node c : schema.children()) {
        std::string_view local = c.baseName();
        if (local == "include") {
            std::string location = c.attribute("schemaLocation");
            if (!location.empty())
                followInclude(location, ctx);
            continue;
        }
        readSchemaDefinition(tables_, &ctx, c);
    }
}

void SchemaLoader::followImport(std::string_view location, std::string_view baseUrl) {
    if (!source_ || nesting_ >= kMaxImportNesting)
        return;
    std::optional<FetchedDocument> fetched = source_->fetchImport(location, baseUrl);
    if (!fetched)
        return;
    upgrade1999Namespaces(fetched->bytes);
    Document doc;
    doc.setValidateOnParse(false);
    if (!doc.loadXML(std::string_view(fetched->bytes)))
        return;
    ++nesting_;
    readImportedDocument(doc, fetched->url);
    --nesting_;
}

void SchemaLoader::readImportedDocument(const Document& doc, std::string_view url) {
    for (Node top : doc.documentNode().children()) {
        std::string_view local = top.baseName();
        if (local == "definitions") {
            PrefixMap map;
            readNamespaceDeclarations(top, map, tables_.namespaces);
            Node types = top.firstChildElement("types");
            if (!types)
                return;
            for (Node s : types.children())
                if (s.baseName() == "schema")
                    readSchema(s, map, url);
            return;
        }
        if (local == "schema") {
            readSchema(top, PrefixMap(), url);
            return;
        }
    }
}

void SchemaLoader::followInclude(std::string_view location, const SchemaContext& includer) {
    if (!source_ || nesting_ >= kMaxImportNesting)
        return;
    std::optional<FetchedDocument> fetched = source_->fetchImport(location, includer.baseUrl);
    if (!fetched)
        return;
    upgrade1999Namespaces(fetched->bytes);
    Document doc;
    doc.setValidateOnParse(false);
    if (!doc.loadXML(std::string_view(fetched->bytes)))
        return;
    Node schema = doc.documentElement();
    if (!schema || schema.baseName() != "schema")
        return;
    // The included definitions join the including schema; a schema without a target
    // namespace takes the includer's.
    SchemaContext ctx = includer;
    ctx.baseUrl = fetched->url;
    ctx.elementsQualified = false;
    ctx.attributesQualified = false;
    ++nesting_;
    readSchemaWith(schema, std::move(ctx));
    --nesting_;
}

namespace {

void copyResolved(SchemaNode& into, const SchemaNode& type) {
    into.list = type.list;
    into.complex = type.complex;
    into.abstract = type.abstract;
    into.simpleContent = type.simpleContent;
    into.baseTypeName = type.baseTypeName;
    into.rank = type.rank;
    if (type.array) {
        into.arrayFromType = into.arrayFromType || !into.array;
        into.array = true;
        into.dimensions = type.dimensions < 1 ? 1 : type.dimensions;
    }
}

}  // namespace

void SchemaLoader::resolveTypes(TypesTable& types) {
    for (const std::string& key : types.memberNames()) {
        SchemaNode* entry = types.memberNode(key);
        if (!entry)
            continue;
        SchemaNode* type = types.memberNode(entry->typeName);
        if (type && type != entry && type->complex)
            copyResolved(*entry, *type);
    }
    for (const std::string& key : types.memberNames()) {
        SchemaNode* entry = types.memberNode(key);
        if (!entry)
            continue;
        for (const std::string& memberKey : entry->memberNames()) {
            SchemaNode* member = entry->memberNode(memberKey);
            if (!member)
                continue;
            SchemaNode* type = types.memberNode(member->typeName);
            if (type && type != member)
                copyResolved(*member, *type);
        }
    }
}

}  // namespace wscore
