#include "engine/soap/base64.h"

#include <array>
#include <cstdint>

namespace wscore {

namespace {

constexpr std::array<std::int8_t, 256> makeTable() {
    std::array<std::int8_t, 256> t{};
    for (auto& v : t)
        v = -1;
    const char* alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (int i = 0; i < 64; ++i)
        t[static_cast<unsigned char>(alphabet[i])] = static_cast<std::int8_t>(i);
    return t;
}

constexpr std::array<std::int8_t, 256> kTable = makeTable();

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

std::optional<std::string> decodeBase64(std::string_view text) {
    std::string out;
    out.reserve(text.size() / 4 * 3);
    std::uint32_t buffer = 0;
    int bits = 0;
    int padding = 0;
    std::size_t symbols = 0;
    for (char c : text) {
        if (isSpace(c))
            continue;
        if (c == '=') {
            ++padding;
            ++symbols;
            continue;
        }
        std::int8_t v = kTable[static_cast<unsigned char>(c)];
        if (v < 0 || padding > 0)
            return std::nullopt;  // outside the alphabet, or after '='
        buffer = (buffer << 6) | static_cast<std::uint32_t>(v);
        bits += 6;
        ++symbols;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(static_cast<char>((buffer >> bits) & 0xFF));
        }
    }
    if (symbols == 0 || padding > 2 || symbols % 4 == 1)
        return std::nullopt;
    if (padding > 0 && symbols % 4 != 0)
        return std::nullopt;
    if (out.empty())
        return std::nullopt;
    return out;
}

}  // namespace wscore
