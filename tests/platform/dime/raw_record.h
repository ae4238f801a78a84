// Hand-built DIME records for tests: every header field can be set to any value, true or not.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace nv::dime::test {

struct RawRecord {
    unsigned version = 1;
    bool mb = false;
    bool me = false;
    bool cf = false;
    unsigned tnf = 1;  // media-type
    unsigned reserved = 0;
    std::string options, id, type, data;
    // Lengths written in the header instead of the true ones.
    std::optional<std::uint16_t> optionsLength, idLength, typeLength;
    std::optional<std::uint32_t> dataLength;
    bool padData = true;  // false: DATA is not followed by its padding
};

std::string encode(const RawRecord& record);

}  // namespace nv::dime::test
