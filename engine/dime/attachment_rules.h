// Which fields travel as DIME attachments, how their records are typed and identified, and how
// a saved file is named from its first bytes.
#pragma once

#include <string>
#include <string_view>

#include "engine/api/flat_record.h"
#include "engine/wsdl/wsdl_model.h"

namespace wscore {

struct AttachmentField {
    bool isAttachment = false;
    std::string tnf;   // "absolute-uri", "media-type", "unknown", or empty (none set)
    std::string type;  // the DimeType, or empty
    bool closedLayout = false;
};

// An input record of an operation whose input uses DIME, typed base64Binary or hexBinary, is
// an attachment: its theData names the file, its info gives "kind:value" for TNF and type.
AttachmentField attachmentField(const WsdlOperation& op, const FlatRecord& record);

// "uuid:" and a fresh UUID, upper-case hexadecimal in the usual field order.
std::string makeAttachmentIdentifier();

// The extension the first bytes of `data` call for (".png", ".pdf", ...); empty when no
// signature matches.
std::string_view extensionFor(std::string_view data);

}  // namespace wscore
