// Turns the input records of an operation into a SOAP 1.1 request envelope: the header block,
// the body (with the operation wrapper for every style but document/literal), type attributes,
// attributes inside start tags, lists and arrays; DIME framing when the input carries
// attachments.
#pragma once

#include <string>
#include <vector>

#include "engine/api/flat_record.h"
#include "engine/resources/message_table.h"
#include "engine/wsdl/wsdl_model.h"

namespace wscore {

struct BuiltRequest {
    std::string bytes;  // UTF-8 XML, or a DIME message whose first record is the envelope
    bool dime = false;
    std::string soapAction;
};

// Builds the request for `op` (an operation of the selected service). On failure returns
// false with the message in `error`. Without `withAttachments` the envelope alone is built
// (references to attachments included, their files not read), as for showing the request.
bool buildRequest(const DocumentModel& model, const WsdlOperation& op,
                  const std::vector<FlatRecord>& records, const MessageModule& messages,
                  BuiltRequest& out, std::u16string& error, bool withAttachments = true);

}  // namespace wscore
