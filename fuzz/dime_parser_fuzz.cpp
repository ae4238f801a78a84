// Fuzz target: the DIME parser. Whatever it accepts must compose back into a message that
// parses to the same records, at any chunk size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/dime/composer.h"
#include "platform/dime/parser.h"

namespace {

bool sameRecords(const nv::dime::ParseResult& a, const nv::dime::ParseResult& b) {
    if (a.records.size() != b.records.size())
        return false;
    for (std::size_t i = 0; i < a.records.size(); ++i) {
        const nv::dime::Record& x = a.records[i];
        const nv::dime::Record& y = b.records[i];
        if (x.id != y.id || x.type != y.type || x.tnf != y.tnf || x.data != y.data)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    nv::dime::ParseLimits limits;
    limits.maxRecords = 512;
    limits.maxRecordSize = 1 << 20;
    limits.maxTotalSize = 1 << 20;
    nv::dime::ParseResult first = nv::dime::parse(bytes, limits);
    if (!first.ok()) {
        if (first.error.empty() || !first.records.empty())
            std::abort();
        return 0;
    }
    if (first.records.empty() || !nv::dime::composeProblem(first.records).empty())
        std::abort();
    // Chunk size from the input's last byte, so chunking is exercised too.
    std::size_t chunk = size > 0 ? data[size - 1] % 17 : 0;
    std::string again = nv::dime::compose(first.records, chunk);
    nv::dime::ParseLimits generous;
    generous.maxRecords = 1u << 24;
    nv::dime::ParseResult second = nv::dime::parse(again, generous);
    if (!second.ok() || !sameRecords(first, second))
        std::abort();
    return 0;
}
