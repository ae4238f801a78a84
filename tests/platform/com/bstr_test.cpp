// BSTR layout, embedded NULs, reallocation, task memory and the RAII owners.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "platform/com/bstr.h"
#include "platform/com/task_memory.h"

namespace {

std::uint32_t prefixOf(BSTR s) {
    std::uint32_t n;
    std::memcpy(&n, reinterpret_cast<const char*>(s) - 4, 4);
    return n;
}

TEST(Bstr, LayoutHasByteCountPrefixAndNulTerminator) {
    BSTR s = SysAllocString(u"abc");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(prefixOf(s), 6u);
    EXPECT_EQ(SysStringLen(s), 3u);
    EXPECT_EQ(SysStringByteLen(s), 6u);
    EXPECT_EQ(s[3], u'\0');
    SysFreeString(s);
}

TEST(Bstr, EmbeddedNulsAreKept) {
    const OLECHAR text[] = {u'a', u'\0', u'b', u'\0', u'c'};
    BSTR s = SysAllocStringLen(text, 5);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(SysStringLen(s), 5u);
    EXPECT_EQ(std::memcmp(s, text, sizeof text), 0);
    EXPECT_EQ(s[5], u'\0');
    // SysAllocString stops at the first NUL.
    BSTR prefix = SysAllocString(s);
    EXPECT_EQ(SysStringLen(prefix), 1u);
    SysFreeString(prefix);
    SysFreeString(s);
}

TEST(Bstr, EmptyStringIsNotNull) {
    BSTR s = SysAllocString(u"");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(SysStringLen(s), 0u);
    EXPECT_EQ(s[0], u'\0');
    SysFreeString(s);
    BSTR z = SysAllocStringLen(nullptr, 0);
    ASSERT_NE(z, nullptr);
    EXPECT_EQ(SysStringLen(z), 0u);
    SysFreeString(z);
}

TEST(Bstr, NullIsAValidEmptyString) {
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    EXPECT_EQ(SysStringByteLen(nullptr), 0u);
    SysFreeString(nullptr);
}

TEST(Bstr, AllocatingWithoutSourceGivesRequestedUnits) {
    BSTR s = SysAllocStringLen(nullptr, 4);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(SysStringLen(s), 4u);
    EXPECT_EQ(s[4], u'\0');
    s[0] = u'x';  // the units are writable
    SysFreeString(s);
}

TEST(Bstr, ByteLengthStringsMayBeOdd) {
    BSTR s = SysAllocStringByteLen("hello", 5);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(SysStringByteLen(s), 5u);
    EXPECT_EQ(SysStringLen(s), 2u);
    EXPECT_EQ(std::memcmp(s, "hello", 5), 0);
    EXPECT_EQ(reinterpret_cast<const char*>(s)[5], '\0');
    EXPECT_EQ(reinterpret_cast<const char*>(s)[6], '\0');
    SysFreeString(s);
}

TEST(Bstr, HugeLengthsFailInsteadOfOverflowing) {
    EXPECT_EQ(SysAllocStringLen(nullptr, 0x80000000u), nullptr);
    EXPECT_EQ(SysAllocStringByteLen(nullptr, 0xFFFFFFFFu), nullptr);
}

TEST(Bstr, ReallocationMayUseTheOldStringAsSource) {
    BSTR s = SysAllocString(u"hello world");
    ASSERT_TRUE(SysReAllocString(&s, s + 6));
    EXPECT_EQ(std::u16string(s, SysStringLen(s)), u"world");
    ASSERT_TRUE(SysReAllocStringLen(&s, nullptr, 8));
    EXPECT_EQ(SysStringLen(s), 8u);
    EXPECT_EQ(std::u16string(s, 5), u"world");  // old contents kept
    ASSERT_TRUE(SysReAllocStringLen(&s, u"ab", 2));
    EXPECT_EQ(std::u16string(s, SysStringLen(s)), u"ab");
    SysFreeString(s);
    EXPECT_FALSE(SysReAllocString(nullptr, u"x"));
}

TEST(BstrOwner, OwnsMovesAndFreesOnOut) {
    nv::com::Bstr a(u"first");
    EXPECT_EQ(a.view(), u"first");
    nv::com::Bstr b = std::move(a);
    EXPECT_FALSE(a);
    EXPECT_EQ(b.str(), u"first");
    BSTR* slot = b.out();  // frees "first"
    EXPECT_EQ(*slot, nullptr);
    *slot = SysAllocString(u"second");
    EXPECT_EQ(b.view(), u"second");
    BSTR raw = b.detach();
    EXPECT_FALSE(b);
    b.attach(raw);
    EXPECT_EQ(b.length(), 6u);
}

TEST(BstrOwner, CopyKeepsEmbeddedNulsAndUtf8RoundTrips) {
    nv::com::Bstr text(std::u16string_view(u"a\0b", 3));
    BSTR copy = text.copy();
    EXPECT_EQ(SysStringLen(copy), 3u);
    EXPECT_EQ(std::memcmp(copy, text.get(), 6), 0);
    SysFreeString(copy);
    nv::com::Bstr accented = nv::com::Bstr::fromUtf8("d\xC3\xA9j\xC3\xA0");
    EXPECT_EQ(accented.view(), u"d\u00e9j\u00e0");
    EXPECT_EQ(accented.utf8(), "d\xC3\xA9j\xC3\xA0");
    EXPECT_EQ(nv::com::Bstr().copy(), nullptr);
}

TEST(TaskMemory, AllocReallocFree) {
    void* zero = CoTaskMemAlloc(0);
    EXPECT_NE(zero, nullptr);
    CoTaskMemFree(zero);
    auto* p = static_cast<char*>(CoTaskMemAlloc(4));
    std::memcpy(p, "abc", 4);
    p = static_cast<char*>(CoTaskMemRealloc(p, 64));
    EXPECT_STREQ(p, "abc");
    EXPECT_EQ(CoTaskMemRealloc(p, 0), nullptr);  // frees
    void* fresh = CoTaskMemRealloc(nullptr, 8);
    EXPECT_NE(fresh, nullptr);
    CoTaskMemFree(fresh);
    CoTaskMemFree(nullptr);
}

TEST(TaskMemory, OwnerFreesAndHandsOut) {
    nv::com::TaskMemPtr<OLECHAR> text(static_cast<OLECHAR*>(CoTaskMemAlloc(8)));
    text[0] = u'x';
    OLECHAR** slot = text.out();
    EXPECT_EQ(*slot, nullptr);
    *slot = static_cast<OLECHAR*>(CoTaskMemAlloc(8));
    nv::com::TaskMemPtr<OLECHAR> moved = std::move(text);
    EXPECT_FALSE(text);
    EXPECT_TRUE(moved);
    CoTaskMemFree(moved.detach());
}

}  // namespace
