// Reads the `schema` elements of a WSDL document, and every schema they import or include,
// into the types table; then resolves declared types against the table.
#pragma once

#include <cstddef>
#include <string_view>

#include "engine/schema/schema_context.h"
#include "engine/wsdl/document_source.h"
#include "platform/xmldom/document.h"

namespace wscore {

class SchemaLoader {
  public:
    // `source` may be null: imports and includes are then skipped.
    SchemaLoader(SchemaTables tables, DocumentSource* source);

    // Reads one `schema` element. `inherited` is the prefix map of the enclosing definitions
    // (with its "targetNamespace" entry); `baseUrl` the URL of the document holding it.
    void readSchema(nv::xml::Node schema, const PrefixMap& inherited, std::string_view baseUrl);

    // After all schemas are read: copies resolved type properties into the entries and their
    // direct members.
    static void resolveTypes(TypesTable& types);

  private:
    void followImport(std::string_view location, std::string_view baseUrl);
    void followInclude(std::string_view location, const SchemaContext& includer);
    void readImportedDocument(const nv::xml::Document& doc, std::string_view url);
    void readSchemaWith(nv::xml::Node schema, SchemaContext ctx);

    SchemaTables tables_;
    DocumentSource* source_;
    int nesting_ = 0;
};

// Nested imports followed (import inside imported document inside ...); deeper ones are skipped.
inline constexpr int kMaxImportNesting = 64;

// Reads the namespace declarations (and targetNamespace) of an element in attribute order
// into `map` and, for declarations, into the registry.
void readNamespaceDeclarations(nv::xml::Node element, PrefixMap& map, NamespaceRegistry& registry);

}  // namespace wscore
