// The input and output structures of an operation, and one element expanded as a chosen type:
// the trees behind GetInputStructure, GetOutputStructure and GetInputStructureOfAType.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "engine/structure/field_record.h"
#include "engine/wsdl/wsdl_model.h"

namespace wscore {

// One expanded root record per member of `op` in `direction` (kDirectionInput/Output), in
// member order (headers first).
std::vector<std::unique_ptr<FieldRecord>> buildMessageTree(const DocumentModel& model,
                                                           const WsdlOperation& op, int direction);

// A record named `elementName` expanded for input as `typeName`; an unknown type gives one
// record with empty strings.
std::unique_ptr<FieldRecord> buildTypeTree(const DocumentModel& model,
                                           std::u16string_view elementName,
                                           std::string_view typeName);

std::vector<FlatRecord> flattenAll(const std::vector<std::unique_ptr<FieldRecord>>& roots,
                                   std::int32_t level);
// The same, consuming the trees as it goes (for trees that are dropped afterwards).
std::vector<FlatRecord> flattenAll(std::vector<std::unique_ptr<FieldRecord>>&& roots,
                                   std::int32_t level);

}  // namespace wscore
