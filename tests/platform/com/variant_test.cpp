// VARIANT ownership: what VariantClear frees, what VariantCopy duplicates, byref handling.
// Leaks and double frees here are caught by the sanitizer build.
#include <gtest/gtest.h>

#include "platform/com/bstr.h"
#include "platform/com/safearray.h"
#include "platform/com/variant.h"
#include "tests/platform/com/test_objects.h"

namespace {

using nv::test::CountedObject;

TEST(Variant, ClearFreesStringAndReleasesInterface) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(u"owned");
    EXPECT_EQ(VariantClear(&v), S_OK);
    EXPECT_EQ(v.vt, VT_EMPTY);

    bool destroyed = false;
    auto* obj = new CountedObject(&destroyed);
    v.vt = VT_UNKNOWN;
    v.punkVal = obj;  // the variant takes the creator's reference
    EXPECT_EQ(VariantClear(&v), S_OK);
    EXPECT_TRUE(destroyed);
}

TEST(Variant, ClearLeavesByrefTargetsAlone) {
    BSTR target = SysAllocString(u"not yours");
    VARIANT v;
    v.vt = VT_BSTR | VT_BYREF;
    v.pbstrVal = &target;
    EXPECT_EQ(VariantClear(&v), S_OK);
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(std::u16string(target), u"not yours");
    SysFreeString(target);
}

TEST(Variant, ClearRejectsUnknownTypesAndLockedArrays) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_RECORD;
    EXPECT_EQ(VariantClear(&v), DISP_E_BADVARTYPE);
    v.vt = 0x0FFF;
    EXPECT_EQ(VariantClear(&v), DISP_E_BADVARTYPE);

    v.vt = VT_ARRAY | VT_I4;
    v.parray = SafeArrayCreateVector(VT_I4, 0, 3);
    SafeArrayLock(v.parray);
    EXPECT_EQ(VariantClear(&v), DISP_E_ARRAYISLOCKED);
    EXPECT_EQ(v.vt, VT_ARRAY | VT_I4);  // left as it was, nothing lost
    SafeArrayUnlock(v.parray);
    EXPECT_EQ(VariantClear(&v), S_OK);
}

TEST(Variant, CopyIsDeep) {
    VARIANT src, dst;
    VariantInit(&src);
    VariantInit(&dst);
    src.vt = VT_BSTR;
    src.bstrVal = SysAllocStringLen(u"a\0b", 3);
    ASSERT_EQ(VariantCopy(&dst, &src), S_OK);
    EXPECT_NE(dst.bstrVal, src.bstrVal);
    EXPECT_EQ(SysStringLen(dst.bstrVal), 3u);
    VariantClear(&src);
    EXPECT_EQ(dst.bstrVal[2], u'b');  // still valid after the source is gone

    auto* obj = new CountedObject;
    src.vt = VT_UNKNOWN;
    src.punkVal = obj;
    ASSERT_EQ(VariantCopy(&dst, &src), S_OK);  // also frees dst's old string
    EXPECT_EQ(obj->refs(), 2u);
    VariantClear(&dst);
    EXPECT_EQ(obj->refs(), 1u);
    VariantClear(&src);
}

TEST(Variant, CopyDuplicatesArrays) {
    VARIANT src, dst;
    VariantInit(&dst);
    src.vt = VT_ARRAY | VT_BSTR;
    src.parray = SafeArrayCreateVector(VT_BSTR, 0, 2);
    LONG i = 1;
    SafeArrayPutElement(src.parray, &i, nv::com::Bstr(u"two").get());
    ASSERT_EQ(VariantCopy(&dst, &src), S_OK);
    EXPECT_NE(dst.parray, src.parray);
    VariantClear(&src);
    BSTR out = nullptr;
    ASSERT_EQ(SafeArrayGetElement(dst.parray, &i, &out), S_OK);
    EXPECT_EQ(std::u16string(out), u"two");
    SysFreeString(out);
    VariantClear(&dst);
}

TEST(Variant, CopyOfByrefCopiesThePointerAndCopyIndDereferences) {
    LONG target = 42;
    VARIANT ref;
    ref.vt = VT_I4 | VT_BYREF;
    ref.plVal = &target;
    VARIANT dst;
    VariantInit(&dst);
    ASSERT_EQ(VariantCopy(&dst, &ref), S_OK);
    EXPECT_EQ(dst.vt, VT_I4 | VT_BYREF);
    EXPECT_EQ(dst.plVal, &target);
    ASSERT_EQ(VariantCopyInd(&dst, &ref), S_OK);
    EXPECT_EQ(dst.vt, VT_I4);
    EXPECT_EQ(dst.lVal, 42);

    BSTR text = SysAllocString(u"deref");
    ref.vt = VT_BSTR | VT_BYREF;
    ref.pbstrVal = &text;
    ASSERT_EQ(VariantCopyInd(&dst, &ref), S_OK);
    EXPECT_NE(dst.bstrVal, text);
    EXPECT_EQ(std::u16string(dst.bstrVal), u"deref");
    VariantClear(&dst);
    SysFreeString(text);
}

TEST(Variant, CopyIndFollowsOneVariantReference) {
    VARIANT inner;
    inner.vt = VT_BSTR;
    inner.bstrVal = SysAllocString(u"inner");
    VARIANT ref;
    ref.vt = VT_VARIANT | VT_BYREF;
    ref.pvarVal = &inner;
    VARIANT dst;
    VariantInit(&dst);
    ASSERT_EQ(VariantCopyInd(&dst, &ref), S_OK);
    EXPECT_EQ(dst.vt, VT_BSTR);
    EXPECT_EQ(std::u16string(dst.bstrVal), u"inner");
    VariantClear(&dst);

    // A reference to a reference is refused.
    VARIANT refRef;
    refRef.vt = VT_VARIANT | VT_BYREF;
    refRef.pvarVal = &ref;
    EXPECT_EQ(VariantCopyInd(&dst, &refRef), E_INVALIDARG);
    VariantClear(&inner);
}

TEST(Variant, CopyIndInPlaceReplacesTheReference) {
    SHORT target = -7;
    VARIANT v;
    v.vt = VT_I2 | VT_BYREF;
    v.piVal = &target;
    ASSERT_EQ(VariantCopyInd(&v, &v), S_OK);
    EXPECT_EQ(v.vt, VT_I2);
    EXPECT_EQ(v.iVal, -7);
}

TEST(Variant, FailedCopyLeavesDestinationIntact) {
    VARIANT bad;
    VariantInit(&bad);
    bad.vt = VT_DECIMAL;
    nv::com::Variant dst(u"keep me");
    EXPECT_EQ(VariantCopy(&dst, &bad), DISP_E_BADVARTYPE);
    EXPECT_EQ(dst.vt, VT_BSTR);
    EXPECT_EQ(std::u16string(dst.bstrVal), u"keep me");
    EXPECT_EQ(VariantCopy(nullptr, &bad), E_INVALIDARG);
}

TEST(VariantOwner, ConstructsCopiesAndMoves) {
    nv::com::Variant text(u"hello");
    nv::com::Variant copy = text;
    EXPECT_NE(copy.bstrVal, text.bstrVal);
    nv::com::Variant moved = std::move(text);
    EXPECT_EQ(text.vt, VT_EMPTY);
    EXPECT_EQ(std::u16string(moved.bstrVal), u"hello");

    EXPECT_EQ(nv::com::Variant(true).boolVal, VARIANT_TRUE);
    EXPECT_EQ(nv::com::Variant(LONG{5}).vt, VT_I4);
    EXPECT_EQ(nv::com::Variant(2.5).dblVal, 2.5);
    EXPECT_EQ(nv::com::Variant::error(DISP_E_PARAMNOTFOUND).scode, DISP_E_PARAMNOTFOUND);
    EXPECT_EQ(nv::com::Variant::null().vt, VT_NULL);
}

TEST(VariantOwner, HoldsAReferenceOnInterfaces) {
    auto* obj = new CountedObject;
    {
        nv::com::Variant v(static_cast<IUnknown*>(obj));
        EXPECT_EQ(obj->refs(), 2u);
        nv::com::Variant copy = v;
        EXPECT_EQ(obj->refs(), 3u);
    }
    EXPECT_EQ(obj->refs(), 1u);
    obj->Release();
}

TEST(VariantOwner, AttachDetachAndOut) {
    nv::com::Variant v;
    VARIANT raw;
    raw.vt = VT_BSTR;
    raw.bstrVal = SysAllocString(u"adopted");
    v.attach(raw);
    EXPECT_EQ(raw.vt, VT_EMPTY);
    VARIANT back = v.detach();
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(std::u16string(back.bstrVal), u"adopted");
    VARIANT* slot = v.out();
    *slot = back;  // handed back for the wrapper to free
    EXPECT_EQ(v.changeType(VT_BSTR), S_OK);
}

TEST(VariantOwner, ArrayOfVariantsServesAsArgumentArray) {
    nv::com::Variant args[2] = {nv::com::Variant(LONG{1}), nv::com::Variant(u"two")};
    VARIANT* raw = args;
    EXPECT_EQ(raw[0].lVal, 1);
    EXPECT_EQ(raw[1].vt, VT_BSTR);
}

}  // namespace
