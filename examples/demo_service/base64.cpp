#include "examples/demo_service/base64.h"

#include <array>
#include <cstdint>

namespace nv::demo {

namespace {

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<std::int8_t, 256> makeDecodeTable() {
    std::array<std::int8_t, 256> table{};
    table.fill(-1);
    for (std::size_t i = 0; i < kAlphabet.size(); ++i)
        table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<std::int8_t>(i);
    return table;
}

constexpr std::array<std::int8_t, 256> kDecode = makeDecodeTable();

bool isXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

}  // namespace

std::string encodeBase64(std::string_view bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const std::uint32_t n = static_cast<unsigned char>(bytes[i]) << 16 |
                                static_cast<unsigned char>(bytes[i + 1]) << 8 |
                                static_cast<unsigned char>(bytes[i + 2]);
        out += kAlphabet[n >> 18 & 63];
        out += kAlphabet[n >> 12 & 63];
        out += kAlphabet[n >> 6 & 63];
        out += kAlphabet[n & 63];
    }
    const std::size_t rest = bytes.size() - i;
    if (rest > 0) {
        std::uint32_t n = static_cast<unsigned char>(bytes[i]) << 16;
        if (rest == 2)
            n |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += kAlphabet[n >> 18 & 63];
        out += kAlphabet[n >> 12 & 63];
        out += rest == 2 ? kAlphabet[n >> 6 & 63] : '=';
        out += '=';
    }
    return out;
}

std::optional<std::string> decodeBase64(std::string_view text) {
    std::string out;
    out.reserve(text.size() / 4 * 3);
    std::uint32_t group = 0;
    int symbols = 0;  // in the current group of four
    int padding = 0;
    for (char c : text) {
        if (isXmlSpace(c))
            continue;
        if (c == '=') {
            // Padding only completes the last group, after at least two symbols.
            if (symbols + padding < 2)
                return std::nullopt;
            ++padding;
            if (symbols + padding > 4)
                return std::nullopt;
            continue;
        }
        const std::int8_t value = kDecode[static_cast<unsigned char>(c)];
        if (value < 0 || padding > 0)
            return std::nullopt;
        group = group << 6 | static_cast<std::uint32_t>(value);
        if (++symbols == 4) {
            out += static_cast<char>(group >> 16 & 0xFF);
            out += static_cast<char>(group >> 8 & 0xFF);
            out += static_cast<char>(group & 0xFF);
            group = 0;
            symbols = 0;
        }
    }
    if (padding > 0 && symbols + padding != 4)
        return std::nullopt;
    if (symbols == 1)
        return std::nullopt;
    if (symbols == 2) {
        out += static_cast<char>(group >> 4 & 0xFF);
    } else if (symbols == 3) {
        out += static_cast<char>(group >> 10 & 0xFF);
        out += static_cast<char>(group >> 2 & 0xFF);
    }
    return out;
}

}  // namespace nv::demo
