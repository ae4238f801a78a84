#include "platform/dime/wire_format.h"

namespace nv::dime::detail {

namespace {

void appendBigEndian(std::string& out, std::uint32_t value, int bytes) {
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8)
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

std::uint32_t readBigEndian(const char* bytes, int count) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i)
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

}  // namespace

void appendHeader(std::string& out, const Header& header) {
    unsigned first = (header.version & 0x1Fu) << 3;
    first |= header.messageBegin ? 0x04u : 0u;
    first |= header.messageEnd ? 0x02u : 0u;
    first |= header.chunked ? 0x01u : 0u;
    out.push_back(static_cast<char>(first));
    out.push_back(
        static_cast<char>(((header.typeFormat & 0x0Fu) << 4) | (header.reserved & 0x0Fu)));
    appendBigEndian(out, header.optionsLength, 2);
    appendBigEndian(out, header.idLength, 2);
    appendBigEndian(out, header.typeLength, 2);
    appendBigEndian(out, header.dataLength, 4);
}

Header readHeader(const char* bytes) {
    Header header;
    auto first = static_cast<unsigned char>(bytes[0]);
    auto second = static_cast<unsigned char>(bytes[1]);
    header.version = static_cast<std::uint8_t>(first >> 3);
    header.messageBegin = (first & 0x04u) != 0;
    header.messageEnd = (first & 0x02u) != 0;
    header.chunked = (first & 0x01u) != 0;
    header.typeFormat = static_cast<std::uint8_t>(second >> 4);
    header.reserved = static_cast<std::uint8_t>(second & 0x0Fu);
    header.optionsLength = static_cast<std::uint16_t>(readBigEndian(bytes + 2, 2));
    header.idLength = static_cast<std::uint16_t>(readBigEndian(bytes + 4, 2));
    header.typeLength = static_cast<std::uint16_t>(readBigEndian(bytes + 6, 2));
    header.dataLength = readBigEndian(bytes + 8, 4);
    return header;
}

}  // namespace nv::dime::detail
