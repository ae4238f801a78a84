// Stored proxy passwords: bit-exact scrambling and its inverse.
#include <gtest/gtest.h>

#include "engine/crypto/password_scrambler.h"

using namespace wscore;

TEST(PasswordScrambling, KeyIsTheServerNameSumModulo29OrThirteen) {
    EXPECT_EQ(scrambleKey(u""), 13);
    EXPECT_EQ(scrambleKey(u"proxy"), 578 % 29);  // 27
    EXPECT_EQ(scrambleKey(u"\u001d"), 13);       // 29 % 29 == 0
    EXPECT_EQ(scrambleKey(u"\u001e"), 1);
}

TEST(PasswordScrambling, KnownVectors) {
    // Empty server name (k = 13): one character c gives the digits of (c + 12) mod 256.
    EXPECT_EQ(scramblePassword(u"", u"A"), u"4D");
    EXPECT_EQ(scramblePassword(u"", u"\u00f8"), u"04");  // 0xF8 + 12 wraps
    // k = 27, n = 2: ('a' + 27 + 0 - 2), ('b' + 27 + 1 - 2).
    EXPECT_EQ(scramblePassword(u"proxy", u"ab"), u"7A7C");
    // A negative intermediate value reduces modulo 256: 1 + 13 + 0 - 20 = -6 -> FA.
    std::u16string twenty(20, u'\u0001');
    EXPECT_EQ(scramblePassword(u"", twenty).substr(0, 2), u"FA");
    // Only the low 8 bits of a character count.
    EXPECT_EQ(scramblePassword(u"", u"\u4e2d"), u"39");
    EXPECT_EQ(scramblePassword(u"", u""), u"");
}

TEST(PasswordScrambling, UnscramblingInvertsForAsciiWithTheSameServerOnly) {
    const std::u16string password = u"S3cret pass!~";
    for (const char16_t* server : {u"", u"proxy", u"proxy.example.com", u"10.0.0.1"}) {
        std::u16string stored = scramblePassword(server, password);
        EXPECT_EQ(stored.size(), password.size() * 2);
        EXPECT_EQ(unscramblePassword(server, stored), password);
    }
    EXPECT_NE(unscramblePassword(u"other", scramblePassword(u"proxy", password)), password);
    EXPECT_EQ(unscramblePassword(u"proxy", u""), u"");
}

TEST(PasswordScrambling, UnscramblingReadsBytesAsLatin1) {
    // Latin-1 passwords round-trip; wider characters lose their high byte.
    EXPECT_EQ(unscramblePassword(u"", scramblePassword(u"", u"caf\u00e9")), u"caf\u00e9");
    EXPECT_EQ(unscramblePassword(u"", scramblePassword(u"", u"\u4e2d")), u"\u002d");
}

TEST(PasswordScrambling, OddDigitsLowerCaseAndLongInput) {
    EXPECT_EQ(unscramblePassword(u"", u"4D4"), u"A");  // the odd last digit is ignored
    // Lower-case digits count from 'A' and give another byte, without an error.
    EXPECT_EQ(unscramblePassword(u"", u"4d"), u"a");
    // More than 254 digits (over the 127-character limit) are unscrambled whole.
    std::u16string longPassword(200, u'x');
    std::u16string stored = scramblePassword(u"srv", longPassword);
    ASSERT_EQ(stored.size(), 400u);
    EXPECT_EQ(unscramblePassword(u"srv", stored), longPassword);
}
