// Whether each input record names an element the schema qualifies. The records a client sends
// back are matched, by field-name path, against the operation's input tree; a record that does
// not match is Unknown and is written as records always were.
#pragma once

#include <string>
#include <vector>

#include "engine/api/flat_record.h"
#include "engine/wsdl/wsdl_model.h"

namespace wscore {

struct Qualification {
    enum Kind { Unknown, Qualified, Unqualified } kind = Unknown;
    std::string namespaceUri;  // for Qualified: the declaration's namespace
};

// One entry per record, in the records' order.
std::vector<Qualification> qualifyRecords(const DocumentModel& model, const WsdlOperation& op,
                                          const std::vector<FlatRecord>& records);

}  // namespace wscore
