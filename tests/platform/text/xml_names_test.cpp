// XML names as the request writer and the serializer check them.
#include <gtest/gtest.h>

#include "platform/text/xml_names.h"

namespace nv::text {
namespace {

TEST(XmlNames, NCNamesFollowTheNameCharacterClasses) {
    for (const char* good : {"a", "_x", "item-1", "a.b",
                             "Stra\xC3\x9F"
                             "e",
                             "\xE6\x97\xA5\xE6\x9C\xAC", "x\xC2\xB7y", "\xF0\x90\x80\x80"})
        EXPECT_TRUE(isNCName(good)) << good;
    for (const char* bad : {"", "1st", "-a", ".a", "a b", "cons)traint", "a:b", "a<b", "a&b",
                            "\xC2\xB7x", "a\xC3", "a\x80", "\xEF\xBF\xBE"})
        EXPECT_FALSE(isNCName(bad)) << bad;
}

TEST(XmlNames, QNamesHaveAtMostOnePrefix) {
    EXPECT_TRUE(isQName("tns:Get"));
    EXPECT_TRUE(isQName("Get"));
    EXPECT_FALSE(isQName(":Get"));
    EXPECT_FALSE(isQName("tns:"));
    EXPECT_FALSE(isQName("a:b:c"));
    EXPECT_FALSE(isQName("1a:b"));
    EXPECT_FALSE(isQName("xsd:string[]"));
}

}  // namespace
}  // namespace nv::text
