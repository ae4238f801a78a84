// SAFEARRAY creation, element ownership, bounds, redimensioning, copying and locking.
#include <gtest/gtest.h>

#include "platform/com/bstr.h"
#include "platform/com/safearray.h"
#include "platform/com/variant.h"
#include "tests/platform/com/test_objects.h"

namespace {

using nv::test::CountedObject;

// Destroys the array at the end of a test (ASan then checks what it freed).
struct ArrayGuard {
    SAFEARRAY* psa;
    ~ArrayGuard() { EXPECT_EQ(SafeArrayDestroy(psa), S_OK); }
};

TEST(SafeArray, VectorHasBoundsTypeAndZeroedElements) {
    SAFEARRAY* psa = SafeArrayCreateVector(VT_I4, 5, 3);
    ASSERT_NE(psa, nullptr);
    ArrayGuard guard{psa};
    EXPECT_EQ(SafeArrayGetDim(psa), 1u);
    EXPECT_EQ(SafeArrayGetElemsize(psa), 4u);
    LONG lb = 0, ub = 0;
    EXPECT_EQ(SafeArrayGetLBound(psa, 1, &lb), S_OK);
    EXPECT_EQ(SafeArrayGetUBound(psa, 1, &ub), S_OK);
    EXPECT_EQ(lb, 5);
    EXPECT_EQ(ub, 7);
    VARTYPE vt = VT_EMPTY;
    EXPECT_EQ(SafeArrayGetVartype(psa, &vt), S_OK);
    EXPECT_EQ(vt, VT_I4);
    LONG value = -1, index = 6;
    EXPECT_EQ(SafeArrayGetElement(psa, &index, &value), S_OK);
    EXPECT_EQ(value, 0);
}

TEST(SafeArray, ElementTypesReportTheirVartypeAndSize) {
    struct {
        VARTYPE vt;
        UINT size;
    } cases[] = {{VT_UI1, 1},
                 {VT_I2, 2},
                 {VT_BOOL, 2},
                 {VT_BSTR, sizeof(BSTR)},
                 {VT_VARIANT, sizeof(VARIANT)},
                 {VT_UNKNOWN, sizeof(void*)},
                 {VT_DISPATCH, sizeof(void*)},
                 {VT_R8, 8}};
    for (auto c : cases) {
        SAFEARRAY* psa = SafeArrayCreateVector(c.vt, 0, 1);
        ASSERT_NE(psa, nullptr) << c.vt;
        VARTYPE vt = VT_EMPTY;
        EXPECT_EQ(SafeArrayGetVartype(psa, &vt), S_OK);
        EXPECT_EQ(vt, c.vt);
        EXPECT_EQ(SafeArrayGetElemsize(psa), c.size);
        SafeArrayDestroy(psa);
    }
    EXPECT_EQ(SafeArrayCreateVector(VT_EMPTY, 0, 1), nullptr);
    EXPECT_EQ(SafeArrayCreateVector(VT_DECIMAL, 0, 1), nullptr);
    SAFEARRAYBOUND b{1, 0};
    EXPECT_EQ(SafeArrayCreate(VT_I4, 0, &b), nullptr);
}

TEST(SafeArray, BadIndexesAndDimensionsAreRejected) {
    SAFEARRAY* psa = SafeArrayCreateVector(VT_I4, 0, 2);
    ArrayGuard guard{psa};
    LONG value = 1;
    for (LONG index : {-1, 2, 100}) {
        EXPECT_EQ(SafeArrayPutElement(psa, &index, &value), DISP_E_BADINDEX);
        EXPECT_EQ(SafeArrayGetElement(psa, &index, &value), DISP_E_BADINDEX);
        void* p = nullptr;
        EXPECT_EQ(SafeArrayPtrOfIndex(psa, &index, &p), DISP_E_BADINDEX);
    }
    LONG bound;
    EXPECT_EQ(SafeArrayGetLBound(psa, 0, &bound), DISP_E_BADINDEX);
    EXPECT_EQ(SafeArrayGetUBound(psa, 2, &bound), DISP_E_BADINDEX);
    EXPECT_EQ(SafeArrayGetLBound(nullptr, 1, &bound), E_INVALIDARG);
    EXPECT_EQ(SafeArrayGetElement(psa, nullptr, &value), E_INVALIDARG);
    LONG index = 0;
    EXPECT_EQ(SafeArrayPutElement(psa, &index, nullptr), E_INVALIDARG);
    EXPECT_EQ(SafeArrayGetDim(nullptr), 0u);
}

TEST(SafeArray, BstrElementsAreCopiedInAndOut) {
    SAFEARRAY* psa = SafeArrayCreateVector(VT_BSTR, 0, 2);
    ArrayGuard guard{psa};
    LONG i = 0;
    {
        nv::com::Bstr first(u"first");
        ASSERT_EQ(SafeArrayPutElement(psa, &i, first.get()), S_OK);
    }  // the array keeps its own copy
    ASSERT_EQ(SafeArrayPutElement(psa, &i, nv::com::Bstr(u"replaced").get()), S_OK);
    nv::com::Bstr out;
    ASSERT_EQ(SafeArrayGetElement(psa, &i, out.out()), S_OK);
    EXPECT_EQ(out.view(), u"replaced");
    i = 1;
    ASSERT_EQ(SafeArrayPutElement(psa, &i, nullptr), S_OK);  // a null BSTR is a value
    ASSERT_EQ(SafeArrayGetElement(psa, &i, out.out()), S_OK);
    EXPECT_FALSE(out);
}

TEST(SafeArray, InterfaceElementsHoldReferences) {
    auto* a = new CountedObject;
    auto* b = new CountedObject;
    {
        SAFEARRAY* psa = SafeArrayCreateVector(VT_UNKNOWN, 0, 1);
        ArrayGuard guard{psa};
        LONG i = 0;
        ASSERT_EQ(SafeArrayPutElement(psa, &i, static_cast<IUnknown*>(a)), S_OK);
        EXPECT_EQ(a->refs(), 2u);
        ASSERT_EQ(SafeArrayPutElement(psa, &i, static_cast<IUnknown*>(b)), S_OK);
        EXPECT_EQ(a->refs(), 1u);  // the replaced element was released
        IUnknown* out = nullptr;
        ASSERT_EQ(SafeArrayGetElement(psa, &i, &out), S_OK);
        EXPECT_EQ(out, b);
        EXPECT_EQ(b->refs(), 3u);
        out->Release();
    }
    EXPECT_EQ(b->refs(), 1u);
    a->Release();
    b->Release();
}

TEST(SafeArray, VariantElementsAreDeepCopied) {
    SAFEARRAY* psa = SafeArrayCreateVector(VT_VARIANT, 0, 1);
    ArrayGuard guard{psa};
    LONG i = 0;
    nv::com::Variant in(u"text");
    ASSERT_EQ(SafeArrayPutElement(psa, &i, &in), S_OK);
    nv::com::Variant out;
    ASSERT_EQ(SafeArrayGetElement(psa, &i, &out), S_OK);
    EXPECT_NE(out.bstrVal, in.bstrVal);
    EXPECT_EQ(std::u16string(out.bstrVal), u"text");
    ASSERT_EQ(SafeArrayPutElement(psa, &i, &out), S_OK);  // replaces and frees the old one
}

TEST(SafeArray, RedimGrowsWithZerosAndShrinkFreesDroppedElements) {
    SAFEARRAY* psa = SafeArrayCreateVector(VT_BSTR, 0, 2);
    ArrayGuard guard{psa};
    for (LONG i = 0; i < 2; ++i)
        SafeArrayPutElement(psa, &i, nv::com::Bstr(i ? u"b" : u"a").get());
    SAFEARRAYBOUND grown{4, 0};
    ASSERT_EQ(SafeArrayRedim(psa, &grown), S_OK);
    LONG ub = 0;
    SafeArrayGetUBound(psa, 1, &ub);
    EXPECT_EQ(ub, 3);
    nv::com::Bstr s;
    LONG i = 1;
    SafeArrayGetElement(psa, &i, s.out());
    EXPECT_EQ(s.view(), u"b");
    i = 3;
    SafeArrayGetElement(psa, &i, s.out());
    EXPECT_FALSE(s);  // new elements start empty
    SAFEARRAYBOUND shrunk{1, 10};
    ASSERT_EQ(SafeArrayRedim(psa, &shrunk), S_OK);  // "b" is freed (ASan would see a leak)
    i = 10;
    SafeArrayGetElement(psa, &i, s.out());
    EXPECT_EQ(s.view(), u"a");
    i = 11;
    EXPECT_EQ(SafeArrayGetElement(psa, &i, s.out()), DISP_E_BADINDEX);
}

TEST(SafeArray, LockedArraysCannotBeDestroyedOrResized) {
    SAFEARRAY* psa = SafeArrayCreateVector(VT_I4, 0, 4);
    void* data = nullptr;
    ASSERT_EQ(SafeArrayAccessData(psa, &data), S_OK);
    static_cast<LONG*>(data)[2] = 99;
    EXPECT_EQ(SafeArrayDestroy(psa), DISP_E_ARRAYISLOCKED);
    SAFEARRAYBOUND b{8, 0};
    EXPECT_EQ(SafeArrayRedim(psa, &b), DISP_E_ARRAYISLOCKED);
    EXPECT_EQ(SafeArrayUnaccessData(psa), S_OK);
    EXPECT_EQ(SafeArrayUnlock(psa), E_UNEXPECTED);  // not locked any more
    LONG i = 2, value = 0;
    SafeArrayGetElement(psa, &i, &value);
    EXPECT_EQ(value, 99);
    EXPECT_EQ(SafeArrayDestroy(psa), S_OK);
    EXPECT_EQ(SafeArrayDestroy(nullptr), S_OK);
}

TEST(SafeArray, CopyIsDeep) {
    SAFEARRAY* psa = SafeArrayCreateVector(VT_VARIANT, 1, 2);
    ArrayGuard guard{psa};
    LONG i = 1;
    nv::com::Variant text(u"deep");
    SafeArrayPutElement(psa, &i, &text);
    SAFEARRAY* copy = nullptr;
    ASSERT_EQ(SafeArrayCopy(psa, &copy), S_OK);
    ArrayGuard copyGuard{copy};
    LONG lb = 0;
    SafeArrayGetLBound(copy, 1, &lb);
    EXPECT_EQ(lb, 1);
    VARIANT* original = nullptr;
    VARIANT* copied = nullptr;
    SafeArrayPtrOfIndex(psa, &i, reinterpret_cast<void**>(&original));
    SafeArrayPtrOfIndex(copy, &i, reinterpret_cast<void**>(&copied));
    EXPECT_NE(original->bstrVal, copied->bstrVal);
    EXPECT_EQ(std::u16string(copied->bstrVal), u"deep");
    SAFEARRAY* none = psa;
    EXPECT_EQ(SafeArrayCopy(nullptr, &none), S_OK);
    EXPECT_EQ(none, nullptr);
}

TEST(SafeArray, MultipleDimensionsStoreLeftMostIndexFastest) {
    SAFEARRAYBOUND bounds[2] = {{2, 0}, {3, 1}};  // [0..1][1..3]
    SAFEARRAY* psa = SafeArrayCreate(VT_I4, 2, bounds);
    ASSERT_NE(psa, nullptr);
    ArrayGuard guard{psa};
    EXPECT_EQ(SafeArrayGetDim(psa), 2u);
    LONG ub = 0;
    SafeArrayGetUBound(psa, 2, &ub);
    EXPECT_EQ(ub, 3);
    for (LONG a = 0; a < 2; ++a) {
        for (LONG b = 1; b <= 3; ++b) {
            LONG idx[2] = {a, b};
            LONG value = a * 10 + b;
            ASSERT_EQ(SafeArrayPutElement(psa, idx, &value), S_OK);
        }
    }
    void* data = nullptr;
    SafeArrayAccessData(psa, &data);
    const LONG* cells = static_cast<const LONG*>(data);
    EXPECT_EQ(cells[0], 1);   // [0][1]
    EXPECT_EQ(cells[1], 11);  // [1][1]
    EXPECT_EQ(cells[2], 2);   // [0][2]
    EXPECT_EQ(cells[5], 13);  // [1][3]
    SafeArrayUnaccessData(psa);
    // Redim changes the right-most dimension and keeps the rest in place.
    SAFEARRAYBOUND last{4, 1};
    ASSERT_EQ(SafeArrayRedim(psa, &last), S_OK);
    LONG idx[2] = {1, 4};
    LONG value = -1;
    ASSERT_EQ(SafeArrayGetElement(psa, idx, &value), S_OK);
    EXPECT_EQ(value, 0);
    idx[1] = 3;
    SafeArrayGetElement(psa, idx, &value);
    EXPECT_EQ(value, 13);
    idx[0] = 2;
    EXPECT_EQ(SafeArrayGetElement(psa, idx, &value), DISP_E_BADINDEX);
}

TEST(SafeArray, VariantHoldingArrayDestroysIt) {
    auto* obj = new CountedObject;
    {
        nv::com::Variant v;
        v.vt = VT_ARRAY | VT_UNKNOWN;
        v.parray = SafeArrayCreateVector(VT_UNKNOWN, 0, 1);
        LONG i = 0;
        SafeArrayPutElement(v.parray, &i, static_cast<IUnknown*>(obj));
        EXPECT_EQ(obj->refs(), 2u);
    }
    EXPECT_EQ(obj->refs(), 1u);
    obj->Release();
}

}  // namespace
