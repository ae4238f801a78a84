// What the schema says about SOAP-encoded arrays (types restricting the encoding's Array), read
// alike by the structure builder, the request builder and the response reader.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/schema/schema_node.h"

namespace wscore {

// The SOAP-encoded array type that `name` denotes: the type itself, or the type of the
// top-level element so named. Null when it denotes no such type.
const SchemaNode* encodedArrayType(const TypesTable& types, std::string_view name);

// The local name of the member element that holds the items, for declarations that spell
// their items out in a sequence (gSOAP, Axis with a sequence); empty when the items stand
// directly under the array's record.
std::string itemMemberName(const SchemaNode& arrayType);

// The item type as SOAP-ENC:arrayType states it before the array's own size: "xsd:int",
// "tns:Person", and for arrays whose items are encoded arrays the inner item type with its
// brackets ("xsd:int[]", "xsd:int[,]").
std::string arrayItemType(const TypesTable& types, const SchemaNode& arrayType);

// "1,1" for a rank-2 type: the shape of the single item a structure offers. Empty for rank 1.
std::string templateShape(const SchemaNode& arrayType);

}  // namespace wscore
