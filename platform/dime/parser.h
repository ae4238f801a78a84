// Reading DIME messages from untrusted bytes.
//
// Every length is checked against the bytes actually present before anything is copied, so
// memory stays within the input's size plus the records' bookkeeping, and time is linear in
// the input. Errors name the record (counted as they appear on the wire, chunks included,
// from 1) and the fault: "record 3: DATA_LENGTH 4294967295 goes past the end of the message
// (120 bytes left)".
//
// OPTIONS are skipped. Padding bytes are not checked, and the last record may omit its final
// padding (some writers stop at the payload's end).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dime/record.h"
#include "platform/export.h"

namespace nv::dime {

struct ParseLimits {
    std::size_t maxRecords = 10000;                  // wire records, chunks included
    std::size_t maxRecordSize = 256u * 1024 * 1024;  // one record's payload, chunks joined
    std::size_t maxTotalSize = 256u * 1024 * 1024;   // all payloads together
};

struct ParseResult {
    std::vector<Record> records;  // empty on failure
    std::string error;            // empty on success
    bool ok() const { return error.empty(); }
};

NV_PLATFORM_API ParseResult parse(std::string_view bytes, const ParseLimits& limits = {});

}  // namespace nv::dime
