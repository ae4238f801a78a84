#include "engine/crypto/password_scrambler.h"

#include <cstdint>

namespace wscore {

int scrambleKey(std::u16string_view proxyServer) {
    std::uint64_t sum = 0;
    for (char16_t c : proxyServer)
        sum += c;
    int k = static_cast<int>(sum % 29);
    return k == 0 ? 13 : k;
}

std::u16string scramblePassword(std::u16string_view proxyServer, std::u16string_view password) {
    static const char16_t kDigits[] = u"0123456789ABCDEF";
    const long long k = scrambleKey(proxyServer);
    const long long n = static_cast<long long>(password.size());
    std::u16string out;
    out.reserve(password.size() * 2);
    for (long long j = 0; j < n; ++j) {
        // The value may be negative before the reduction; "& 0xFF" is the modulo 256 wanted.
        auto b = static_cast<unsigned>((password[static_cast<std::size_t>(j)] + k + j - n) & 0xFF);
        out += kDigits[b >> 4];
        out += kDigits[b & 0xF];
    }
    return out;
}

std::u16string unscramblePassword(std::u16string_view proxyServer, std::u16string_view scrambled) {
    // A digit up to '9' counts from '0', any other from 'A' as 10: lower case or other
    // characters give wrong bytes, without an error, as the stored form never holds them.
    auto digit = [](char16_t c) -> long long { return c <= u'9' ? c - u'0' : c - u'A' + 10; };
    const long long k = scrambleKey(proxyServer);
    const long long m = static_cast<long long>(scrambled.size() / 2);
    std::u16string out;
    out.reserve(static_cast<std::size_t>(m));
    for (long long i = 0; i < m; ++i) {
        long long v = 16 * digit(scrambled[static_cast<std::size_t>(2 * i)]) +
                      digit(scrambled[static_cast<std::size_t>(2 * i + 1)]);
        out += static_cast<char16_t>((v - k - i + m) & 0xFF);  // a Latin-1 byte
    }
    return out;
}

}  // namespace wscore
