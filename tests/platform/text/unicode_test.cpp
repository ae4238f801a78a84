// UTF-8 / UTF-16 conversion and the case-insensitive comparison every layer relies on.
#include <gtest/gtest.h>

#include <string>

#include "platform/text/unicode.h"

namespace nv::text {
namespace {

TEST(TextConversion, RoundTripsEveryPlane) {
    const std::u16string samples[] = {u"",         u"plain",       u"Stra\u00dfe",
                                      u"\u20ac 5", u"\U0001F600x", std::u16string(u"a\0b", 3)};
    for (const std::u16string& s : samples) {
        EXPECT_EQ(utf8ToUtf16(utf16ToUtf8(s)), s);
        EXPECT_TRUE(isValidUtf8(utf16ToUtf8(s)));
    }
    EXPECT_EQ(utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
}

TEST(TextConversion, MalformedInputBecomesReplacementCharacters) {
    // A lone continuation byte, a truncated sequence, an overlong '/', an encoded surrogate.
    EXPECT_EQ(utf8ToUtf16("a\x80"
                          "b"),
              u"a\uFFFDb");
    EXPECT_EQ(utf8ToUtf16("a\xE2\x82"), u"a\uFFFD");
    EXPECT_EQ(utf8ToUtf16("\xC0\xAF"), u"\uFFFD");
    EXPECT_EQ(utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD");
    for (const char* bad : {"a\x80", "\xE2\x82", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80"})
        EXPECT_FALSE(isValidUtf8(bad)) << bad;
    // Lone surrogates on the UTF-16 side.
    EXPECT_EQ(utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
    EXPECT_EQ(utf16ToUtf8(std::u16string{char16_t(0xDC00), u'x'}), "\xEF\xBF\xBDx");
}

TEST(TextConversion, CodePointsAreDecodedOneAtATime) {
    std::string s = "A\xC3\x9F\xE2\x82\xAC\xF0\x9F\x98\x80\x80";
    std::size_t i = 0;
    char32_t cp = 0;
    std::u32string seen;
    while (i < s.size()) {
        if (nextCodePoint(s, i, cp))
            seen += cp;
        else
            seen += U'?';
    }
    EXPECT_EQ(seen, U"A\u00df\u20ac\U0001F600?");
    EXPECT_EQ(i, s.size());
}

TEST(TextConversion, Latin1MapsEachByteToItsCodePoint) {
    EXPECT_EQ(latin1ToUtf16("caf\xE9\xFF"), u"caf\u00e9\u00ff");
}

TEST(TextComparison, IgnoresCaseAsWindowsCompareNames) {
    EXPECT_TRUE(equalsIgnoreCase(u"HKEY_Current_User", u"hkey_current_user"));
    EXPECT_TRUE(equalsIgnoreCase(u"stra\u00dfe", u"STRA\u00dfE"));  // no one-to-many folding
    EXPECT_TRUE(equalsIgnoreCase(u"\u00e9t\u00e9", u"\u00c9T\u00c9"));
    EXPECT_FALSE(equalsIgnoreCase(u"abc", u"abcd"));
    EXPECT_LT(compareIgnoreCase(u"apple", u"BANANA"), 0);
    EXPECT_GT(compareIgnoreCase(u"b", u"A"), 0);
    EXPECT_EQ(compareIgnoreCase(u"Same", u"sAME"), 0);
    EXPECT_EQ(length(nullptr), 0u);
    EXPECT_EQ(view(nullptr), u"");
}

}  // namespace
}  // namespace nv::text
