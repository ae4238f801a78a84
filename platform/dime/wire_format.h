// The 12-byte DIME record header and field padding (internal to the codec).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace nv::dime::detail {

constexpr std::size_t kHeaderSize = 12;
constexpr std::uint8_t kVersion = 1;
constexpr std::size_t kMaxShortField = 0xFFFF;        // OPTIONS, ID and TYPE lengths are 16 bits
constexpr std::uint64_t kMaxDataLength = 0xFFFFFFFF;  // DATA_LENGTH is 32 bits

struct Header {
    std::uint8_t version = kVersion;  // 5 bits
    bool messageBegin = false;        // MB
    bool messageEnd = false;          // ME
    bool chunked = false;             // CF: more chunks of this record follow
    std::uint8_t typeFormat = 0;      // TYPE_T, 4 bits
    std::uint8_t reserved = 0;        // 4 bits, written as zero, ignored when read
    std::uint16_t optionsLength = 0;
    std::uint16_t idLength = 0;
    std::uint16_t typeLength = 0;
    std::uint32_t dataLength = 0;
};

// Every field is followed by zeros up to a multiple of 4 bytes.
constexpr std::uint64_t padded(std::uint64_t length) {
    return (length + 3) & ~std::uint64_t{3};
}

void appendHeader(std::string& out, const Header& header);
// `bytes` holds at least kHeaderSize bytes.
Header readHeader(const char* bytes);

}  // namespace nv::dime::detail
