// Maps a received SOAP response onto the operation's output structure: fills the records with
// the values found, adds records for repeated items, resolves multi-reference (href/id)
// values, reads schemas carried inline, saves binary data to files, drops what the response
// did not hold, and flattens the result.
#pragma once

#include <string>
#include <vector>

#include "engine/api/flat_record.h"
#include "engine/wsdl/wsdl_model.h"
#include "platform/soap/reader.h"

namespace wscore {

struct ResponseMapping {
    const DocumentModel& model;  // its types table is what on-demand expansion reads
    const WsdlOperation& op;
    std::string workingDirectory;  // where base64 values and attachments are saved
};

// Records nested deeper than this, reference hops deeper than this, and responses that would
// need more records than this are not followed further (the invocation says so).
inline constexpr int kMaxMappedDepth = 1500;
inline constexpr int kMaxReferenceHops = 1000;
inline constexpr std::size_t kMaxResponseRecords = 2000000;

// Fills `out` from the loaded `reader`. False with `error` only when a limit was hit.
bool mapResponse(const ResponseMapping& mapping, const nv::soap::Reader& reader,
                 std::vector<FlatRecord>& out, std::string& error);

}  // namespace wscore
