#include "tests/platform/dime/raw_record.h"

#include <string_view>

namespace nv::dime::test {

namespace {

void put(std::string& out, std::uint32_t value, int bytes) {
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8)
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

void putPadded(std::string& out, std::string_view field, bool pad) {
    out.append(field);
    if (pad)
        out.append((4 - field.size() % 4) % 4, '\0');
}

}  // namespace

std::string encode(const RawRecord& r) {
    std::string out;
    out.push_back(
        static_cast<char>((r.version << 3) | (r.mb ? 4 : 0) | (r.me ? 2 : 0) | (r.cf ? 1 : 0)));
    out.push_back(static_cast<char>((r.tnf << 4) | (r.reserved & 0x0F)));
    put(out, r.optionsLength.value_or(static_cast<std::uint16_t>(r.options.size())), 2);
    put(out, r.idLength.value_or(static_cast<std::uint16_t>(r.id.size())), 2);
    put(out, r.typeLength.value_or(static_cast<std::uint16_t>(r.type.size())), 2);
    put(out, r.dataLength.value_or(static_cast<std::uint32_t>(r.data.size())), 4);
    putPadded(out, r.options, true);
    putPadded(out, r.id, true);
    putPadded(out, r.type, true);
    putPadded(out, r.data, r.padData);
    return out;
}

}  // namespace nv::dime::test
