// Scrambling of the stored proxy password, keyed by the proxy server name. It only keeps the
// password from being stored as plain text; it is not encryption.
#pragma once

#include <string>
#include <string_view>

namespace wscore {

// Key number: sum of the server name's UTF-16 units modulo 29, or 13 when that is 0.
int scrambleKey(std::u16string_view proxyServer);

// Two upper-case hexadecimal digits per password character (only its low 8 bits count).
std::u16string scramblePassword(std::u16string_view proxyServer, std::u16string_view password);

// Inverse of scramblePassword for ASCII/Latin-1 passwords; the bytes are read as Latin-1.
// An odd last digit is ignored; input of any length is unscrambled whole.
std::u16string unscramblePassword(std::u16string_view proxyServer, std::u16string_view scrambled);

}  // namespace wscore
