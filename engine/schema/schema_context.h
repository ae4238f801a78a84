// What the schema readers work with: the prefix declarations and target namespace of the
// schema being read, and the tables they fill.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "engine/schema/schema_node.h"
#include "engine/wsdl/namespace_registry.h"

namespace wscore {

using PrefixMap = std::map<std::string, std::string, std::less<>>;

// One per `schema` element being read.
struct SchemaContext {
    PrefixMap prefixes;  // inherited from definitions, then the schema's own
    std::string targetNamespace;
    bool elementsQualified = false;    // elementFormDefault="qualified"
    bool attributesQualified = false;  // attributeFormDefault="qualified"
    std::string baseUrl;               // URL of the document holding the schema
};

struct SchemaTables {
    TypesTable& types;
    DerivedTypeRegistry& derived;
    NamespaceRegistry& namespaces;
};

// Schema name normalisation: a prefixed name becomes the canonical prefix of its namespace,
// ":" and the local name (the local name alone when that prefix is empty: every XML Schema
// built-in, and names whose namespace is unknown); an unprefixed name takes the canonical
// prefix of the target namespace. Without a context, the local part alone.
std::string normalizeSchemaName(const SchemaTables& t, const SchemaContext* ctx,
                                std::string_view name);

// Qualified name of a top-level definition: canonical prefix of the target namespace, ":",
// name; the name alone when that prefix is empty or there is no context.
std::string qualifyTopLevelName(const SchemaTables& t, const SchemaContext* ctx,
                                std::string_view name);

}  // namespace wscore
