// The schema readers: each reads one schema construct (element, complexType, simpleType and
// what they contain) into the types table, walking its children with further readers.
#pragma once

#include <string_view>

#include "engine/schema/schema_context.h"
#include "platform/xmldom/node.h"

namespace wscore {

// Reads a top-level `complexType`, `simpleType` or `element` (by its base name; anything else
// is ignored) into the tables, as a child of a `schema` element. `ctx` may be null (schemas
// carried inside responses are read without one).
void readSchemaDefinition(SchemaTables& tables, const SchemaContext* ctx, nv::xml::Node node);

// Deepest reader nesting followed; deeper content is not read (that branch stops).
inline constexpr int kMaxSchemaNesting = 256;

}  // namespace wscore
