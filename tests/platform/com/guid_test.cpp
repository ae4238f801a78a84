// GUID text forms, strict and lenient parsing, and random generation.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/com/guid.h"
#include "platform/com/iids.h"
#include "platform/com/task_memory.h"
#include "platform/text/unicode.h"
#include "tests/support/registry_sandbox.h"

namespace {

constexpr GUID kSample = {
    0x0123ABCD, 0x4567, 0x89EF, {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}};
constexpr char16_t kSampleText[] = u"{0123ABCD-4567-89EF-0123-456789ABCDEF}";

TEST(Guid, FormatsUpperCaseBraced) {
    OLECHAR buf[39];
    EXPECT_EQ(StringFromGUID2(kSample, buf, 39), 39);
    EXPECT_EQ(std::u16string(buf), kSampleText);
    EXPECT_EQ(nv::com::toString(IID_IDispatch), u"{00020400-0000-0000-C000-000000000046}");
    EXPECT_EQ(StringFromGUID2(kSample, buf, 38), 0);  // no room for the NUL
}

TEST(Guid, StringFromClsidIsTaskAllocated) {
    nv::com::TaskMemPtr<OLECHAR> text;
    ASSERT_EQ(StringFromCLSID(kSample, text.out()), S_OK);
    EXPECT_EQ(std::u16string(text.get()), kSampleText);
    ASSERT_EQ(StringFromIID(IID_IUnknown, text.out()), S_OK);
    EXPECT_EQ(std::u16string(text.get()), u"{00000000-0000-0000-C000-000000000046}");
    EXPECT_EQ(StringFromCLSID(kSample, nullptr), E_INVALIDARG);
}

TEST(Guid, ParsesAnyHexCase) {
    CLSID c;
    ASSERT_EQ(CLSIDFromString(u"{0123abcd-4567-89ef-0123-456789abcdef}", &c), S_OK);
    EXPECT_EQ(c, kSample);
    IID i;
    ASSERT_EQ(IIDFromString(kSampleText, &i), S_OK);
    EXPECT_EQ(i, kSample);
}

TEST(Guid, NullStringsGiveTheNullGuid) {
    CLSID c = kSample;
    EXPECT_EQ(CLSIDFromString(nullptr, &c), S_OK);
    EXPECT_EQ(c, CLSID_NULL);
    IID i = kSample;
    EXPECT_EQ(IIDFromString(nullptr, &i), S_OK);
    EXPECT_EQ(i, IID_NULL);
}

TEST(Guid, MalformedStringsAreRejected) {
    nv::test::RegistrySandbox sandbox;  // non-braced text is tried as a ProgID
    const char16_t* bad[] = {
        u"",
        u"0123ABCD-4567-89EF-0123-456789ABCDEF",     // no braces
        u"{0123ABCD-4567-89EF-0123-456789ABCDEF",    // no closing brace
        u"{0123ABCD-4567-89EF-0123-456789ABCDEF}x",  // trailing text
        u"{0123ABCD-4567-89EF-0123-456789ABCDEG}",   // not hex
        u"{0123ABCD+4567-89EF-0123-456789ABCDEF}",   // wrong separator
        u"{0123ABC-D4567-89EF-0123-456789ABCDEF}",   // separator misplaced
        u"{ 123ABCD-4567-89EF-0123-456789ABCDEF}",
        u"not a guid",
    };
    for (const char16_t* s : bad) {
        CLSID c = kSample;
        EXPECT_EQ(CLSIDFromString(s, &c), CO_E_CLASSSTRING) << nv::text::utf16ToUtf8(s);
        EXPECT_EQ(c, CLSID_NULL);
        IID i;
        EXPECT_EQ(IIDFromString(s, &i), E_INVALIDARG);
    }
    EXPECT_EQ(CLSIDFromString(kSampleText, nullptr), E_INVALIDARG);
}

TEST(Guid, HelperAlsoAcceptsTheBareForm) {
    GUID g{};
    EXPECT_TRUE(nv::com::parseGuid(u"0123abcd-4567-89ef-0123-456789abcdef", g));
    EXPECT_EQ(g, kSample);
    GUID untouched = IID_IUnknown;
    EXPECT_FALSE(nv::com::parseGuid(u"{0123abcd-4567-89ef-0123-456789abcdef", untouched));
    EXPECT_EQ(untouched, IID_IUnknown);
    EXPECT_FALSE(nv::com::parseGuid(u"", untouched));
}

TEST(Guid, RoundTripsThroughText) {
    GUID g;
    ASSERT_EQ(CoCreateGuid(&g), S_OK);
    GUID back{};
    ASSERT_TRUE(nv::com::parseGuid(nv::com::toString(g), back));
    EXPECT_EQ(back, g);
}

TEST(Guid, CreatedGuidsAreRandomVersionFour) {
    std::set<std::u16string> seen;
    for (int i = 0; i < 200; ++i) {
        GUID g;
        ASSERT_EQ(CoCreateGuid(&g), S_OK);
        EXPECT_EQ(g.Data3 >> 12, 4);
        EXPECT_EQ(g.Data4[0] & 0xC0, 0x80);
        seen.insert(nv::com::toString(g));
    }
    EXPECT_EQ(seen.size(), 200u);
    EXPECT_EQ(CoCreateGuid(nullptr), E_INVALIDARG);
}

TEST(Guid, StandardIdsHaveTheirWindowsValues) {
    EXPECT_EQ(nv::com::toString(IID_IClassFactory), u"{00000001-0000-0000-C000-000000000046}");
    EXPECT_EQ(nv::com::toString(IID_IProvideClassInfo), u"{B196B283-BAB4-101A-B69C-00AA00341D07}");
    EXPECT_EQ(nv::com::toString(IID_ISequentialStream), u"{0C733A30-2A1C-11CE-ADE5-00AA0044773D}");
    EXPECT_EQ(nv::com::toString(IID_IDataObject), u"{0000010E-0000-0000-C000-000000000046}");
    EXPECT_EQ(nv::com::toString(CLSID_FileMoniker), u"{00000303-0000-0000-C000-000000000046}");
}

}  // namespace
