// Maps a received SOAP response onto the operation's output structure: fills the records with
// the values found, adds records for repeated items, resolves multi-reference (href/id)
// values, reads schemas carried inline, saves binary data to files, drops what the response
// did not hold, and flattens the result.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/api/flat_record.h"
#include "engine/structure/field_record.h"
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
// A partially transmitted array whose declared size leaves more places empty than this is not
// filled in (a few bytes of markup could otherwise ask for millions of records).
inline constexpr std::size_t kMaxArrayGaps = 100000;

// Maps the loaded `reader` onto the operation's output tree (counted, hoisted and pruned),
// one root per output part. False with `error` only when a limit was hit.
bool mapResponseTree(const ResponseMapping& mapping, const nv::soap::Reader& reader,
                     std::vector<std::unique_ptr<FieldRecord>>& roots, std::string& error);

// The same, flattened into records.
bool mapResponse(const ResponseMapping& mapping, const nv::soap::Reader& reader,
                 std::vector<FlatRecord>& out, std::string& error);

}  // namespace wscore
