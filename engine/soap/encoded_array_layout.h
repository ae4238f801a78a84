// How the input records of SOAP-encoded arrays are written. Such an array is one accessor
// element carrying xsi:type="SOAP-ENC:Array" and SOAP-ENC:arrayType="<item type>[<size>]";
// the member-array record under it (the "item" record of a type that spells its items out)
// stands for no element; the size is the number of item elements actually written, or the
// shape that the accessor's `info` states for a multi-dimensional array ("2,3").
#pragma once

#include <string>
#include <vector>

#include "engine/api/flat_record.h"
#include "engine/schema/schema_node.h"

namespace wscore {

struct EncodedArrayLayout {
    enum class Role { Plain, Accessor, MemberArray };
    std::vector<Role> roles;              // by record index
    std::vector<std::string> arrayTypes;  // by record index; for accessors "xsd:int[2,3]"
};

// Classifies `records` (in the order a caller passes them). False, with the reason in
// `error`, when an array's items cannot fill the shape its record states.
bool layOutEncodedArrays(const TypesTable& types, const std::vector<FlatRecord>& records,
                         EncodedArrayLayout& out, std::string& error);

}  // namespace wscore
