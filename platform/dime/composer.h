// Writing DIME messages: records in order, the first flagged MB, the last ME, payloads
// optionally split into chunks.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/dime/record.h"
#include "platform/export.h"

namespace nv::dime {

// Empty when `records` can be written; otherwise why not (no records, an ID or TYPE longer
// than 65535 bytes, a TYPE on an "unknown" record, TYPE or data on a "none" record, or a record
// whose format is "unchanged").
NV_PLATFORM_API std::string composeProblem(const std::vector<Record>& records);

// The message as bytes; empty when composeProblem() is not. With chunkSize 0 a payload is
// split only where DATA_LENGTH forces it (4 GiB - 1); otherwise into chunks of at most
// chunkSize bytes. An empty payload is one record with DATA_LENGTH 0.
NV_PLATFORM_API std::string compose(const std::vector<Record>& records, std::size_t chunkSize = 0);

}  // namespace nv::dime
