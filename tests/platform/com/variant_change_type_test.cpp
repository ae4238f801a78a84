// VariantChangeType: numeric ranges and rounding, text in both directions, booleans, errors,
// byref sources and objects converted through their value property.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "platform/com/bstr.h"
#include "platform/com/dispatch.h"
#include "platform/com/variant.h"

namespace {

using nv::com::Variant;

Variant text(std::u16string_view s) {
    return Variant(s);
}

Variant i4(LONG v) {
    return Variant(v);
}

Variant converted(const VARIANT& src, VARTYPE vt, USHORT flags = 0) {
    Variant out;
    EXPECT_EQ(VariantChangeType(&out, &src, flags, vt), S_OK) << "to " << vt;
    return out;
}

HRESULT attempt(const VARIANT& src, VARTYPE vt) {
    Variant out;
    return VariantChangeType(&out, &src, 0, vt);
}

std::u16string asText(const VARIANT& src, USHORT flags = 0) {
    Variant out = converted(src, VT_BSTR, flags);
    return std::u16string(out.bstrVal, SysStringLen(out.bstrVal));
}

TEST(VariantChangeType, IntegersWidenAndNarrowWithinRange) {
    EXPECT_EQ(converted(i4(-5), VT_I2).iVal, -5);
    EXPECT_EQ(converted(i4(255), VT_UI1).bVal, 255);
    EXPECT_EQ(converted(i4(7), VT_INT).intVal, 7);
    EXPECT_EQ(converted(i4(7), VT_R8).dblVal, 7.0);
    Variant i2;
    i2.vt = VT_I2;
    i2.iVal = -300;
    EXPECT_EQ(converted(i2, VT_I4).lVal, -300);
}

TEST(VariantChangeType, OutOfRangeGivesOverflow) {
    EXPECT_EQ(attempt(i4(256), VT_UI1), DISP_E_OVERFLOW);
    EXPECT_EQ(attempt(i4(-1), VT_UI1), DISP_E_OVERFLOW);
    EXPECT_EQ(attempt(i4(40000), VT_I2), DISP_E_OVERFLOW);
    EXPECT_EQ(attempt(Variant(1e10), VT_I4), DISP_E_OVERFLOW);
    EXPECT_EQ(attempt(Variant(std::nan("")), VT_I4), DISP_E_OVERFLOW);
    EXPECT_EQ(attempt(Variant(1e300), VT_R4), DISP_E_OVERFLOW);
    EXPECT_EQ(attempt(text(u"2147483648"), VT_I4), DISP_E_OVERFLOW);
    EXPECT_EQ(attempt(text(u"99999999999999999999999"), VT_I4), DISP_E_OVERFLOW);
    EXPECT_EQ(converted(text(u"-2147483648"), VT_I4).lVal, -2147483647 - 1);
}

TEST(VariantChangeType, RealsRoundHalfToEven) {
    EXPECT_EQ(converted(Variant(2.5), VT_I4).lVal, 2);
    EXPECT_EQ(converted(Variant(3.5), VT_I4).lVal, 4);
    EXPECT_EQ(converted(Variant(-2.5), VT_I4).lVal, -2);
    EXPECT_EQ(converted(Variant(2.4999), VT_I4).lVal, 2);
    EXPECT_EQ(converted(Variant(-0.6), VT_I2).iVal, -1);
    EXPECT_EQ(converted(text(u"1.5"), VT_I4).lVal, 2);
}

TEST(VariantChangeType, TextToNumbers) {
    EXPECT_EQ(converted(text(u"  42 "), VT_I4).lVal, 42);
    EXPECT_EQ(converted(text(u"+17"), VT_I2).iVal, 17);
    EXPECT_EQ(converted(text(u"-0"), VT_I4).lVal, 0);
    EXPECT_DOUBLE_EQ(converted(text(u"1.25e2"), VT_R8).dblVal, 125.0);
    EXPECT_DOUBLE_EQ(converted(text(u".5"), VT_R8).dblVal, 0.5);
    EXPECT_EQ(converted(text(u"&HFF"), VT_I4).lVal, 255);
    EXPECT_EQ(converted(text(u"&o17"), VT_I4).lVal, 15);
    EXPECT_EQ(converted(text(u"1e-400"), VT_R8).dblVal, 0.0);
}

TEST(VariantChangeType, BadTextGivesTypeMismatch) {
    for (const char16_t* s : {u"", u"  ", u"12abc", u"abc", u"1,000", u"1e", u"--1", u"&H", u"."})
        EXPECT_EQ(attempt(text(s), VT_I4), DISP_E_TYPEMISMATCH) << nv::com::Bstr(s).utf8();
    EXPECT_EQ(attempt(text(u"1e999"), VT_R8), DISP_E_OVERFLOW);
    // Text ends at an embedded NUL, as the text conversions read NUL-terminated strings.
    EXPECT_EQ(converted(text(std::u16string_view(u"12\0x", 4)), VT_I4).lVal, 12);
}

TEST(VariantChangeType, NumbersToText) {
    EXPECT_EQ(asText(i4(-123)), u"-123");
    EXPECT_EQ(asText(Variant(0.1)), u"0.1");
    EXPECT_EQ(asText(Variant(1.5)), u"1.5");
    EXPECT_EQ(asText(Variant(1e20)), u"1E+20");
    EXPECT_EQ(asText(Variant(-0.0)), u"0");
    Variant r4;
    r4.vt = VT_R4;
    r4.fltVal = 0.1f;
    EXPECT_EQ(asText(r4), u"0.1");
    Variant cy;
    cy.vt = VT_CY;
    cy.cyVal.int64 = -12345;  // -1.2345
    EXPECT_EQ(asText(cy), u"-1.2345");
    cy.cyVal.int64 = 20000;
    EXPECT_EQ(asText(cy), u"2");
    EXPECT_EQ(asText(Variant()), u"");
}

TEST(VariantChangeType, BooleanText) {
    EXPECT_EQ(asText(Variant(true)), u"-1");
    EXPECT_EQ(asText(Variant(false)), u"0");
    EXPECT_EQ(asText(Variant(true), VARIANT_ALPHABOOL), u"True");
    EXPECT_EQ(asText(Variant(false), VARIANT_ALPHABOOL), u"False");
    EXPECT_EQ(asText(Variant(true), VARIANT_LOCALBOOL), u"True");

    EXPECT_EQ(converted(text(u"True"), VT_BOOL).boolVal, VARIANT_TRUE);
    EXPECT_EQ(converted(text(u" false "), VT_BOOL).boolVal, VARIANT_FALSE);
    EXPECT_EQ(converted(text(u"-1"), VT_BOOL).boolVal, VARIANT_TRUE);
    EXPECT_EQ(converted(text(u"0"), VT_BOOL).boolVal, VARIANT_FALSE);
    EXPECT_EQ(converted(text(u"2.5"), VT_BOOL).boolVal, VARIANT_TRUE);
    EXPECT_EQ(attempt(text(u"yes"), VT_BOOL), DISP_E_TYPEMISMATCH);
}

TEST(VariantChangeType, BooleansAsNumbers) {
    EXPECT_EQ(converted(Variant(true), VT_I4).lVal, -1);
    EXPECT_EQ(converted(Variant(true), VT_UI1).bVal, 255);
    EXPECT_EQ(converted(Variant(true), VT_UI4).ulVal, 0xFFFFFFFFu);
    EXPECT_EQ(converted(Variant(false), VT_R8).dblVal, 0.0);
    EXPECT_EQ(converted(i4(7), VT_BOOL).boolVal, VARIANT_TRUE);
    EXPECT_EQ(converted(Variant(0.0), VT_BOOL).boolVal, VARIANT_FALSE);
}

TEST(VariantChangeType, EmptyNullAndError) {
    EXPECT_EQ(converted(Variant(), VT_I4).lVal, 0);
    EXPECT_EQ(converted(Variant(), VT_BOOL).boolVal, VARIANT_FALSE);
    EXPECT_EQ(converted(Variant(), VT_NULL).vt, VT_NULL);
    EXPECT_EQ(converted(text(u"x"), VT_EMPTY).vt, VT_EMPTY);
    EXPECT_EQ(attempt(Variant::null(), VT_I4), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(attempt(Variant::null(), VT_BSTR), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(attempt(i4(1), VT_NULL), DISP_E_TYPEMISMATCH);

    Variant err = Variant::error(DISP_E_PARAMNOTFOUND);
    EXPECT_EQ(converted(err, VT_I4).lVal, DISP_E_PARAMNOTFOUND);
    EXPECT_EQ(converted(i4(E_FAIL), VT_ERROR).scode, E_FAIL);
    EXPECT_EQ(attempt(err, VT_BSTR), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(attempt(err, VT_I2), DISP_E_TYPEMISMATCH);
}

TEST(VariantChangeType, InvalidTypesAreRejected) {
    EXPECT_EQ(attempt(i4(1), VT_DECIMAL), DISP_E_BADVARTYPE);
    EXPECT_EQ(attempt(i4(1), VT_I4 | VT_BYREF), DISP_E_BADVARTYPE);
    EXPECT_EQ(attempt(i4(1), VT_VARIANT), DISP_E_BADVARTYPE);
    EXPECT_EQ(attempt(i4(1), VT_ARRAY | VT_I4), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(attempt(text(u"1"), VT_DATE), DISP_E_TYPEMISMATCH);
    Variant bad;
    bad.vt = 0x0FFF;
    EXPECT_EQ(attempt(bad, VT_I4), DISP_E_BADVARTYPE);
    bad.vt = VT_EMPTY;
}

TEST(VariantChangeType, DatesAreRangeChecked) {
    EXPECT_EQ(converted(i4(45000), VT_DATE).date, 45000.0);
    EXPECT_EQ(attempt(Variant(3e6), VT_DATE), DISP_E_OVERFLOW);
    EXPECT_EQ(attempt(Variant(-7e5), VT_DATE), DISP_E_OVERFLOW);
}

TEST(VariantChangeType, CurrencyIsScaledExactly) {
    EXPECT_EQ(converted(i4(3), VT_CY).cyVal.int64, 30000);
    EXPECT_EQ(converted(Variant(1.23456), VT_CY).cyVal.int64, 12346);
    Variant cy;
    cy.vt = VT_CY;
    cy.cyVal.int64 = 25000;  // 2.5 rounds to even
    EXPECT_EQ(converted(cy, VT_I4).lVal, 2);
    cy.cyVal.int64 = 35000;
    EXPECT_EQ(converted(cy, VT_I4).lVal, 4);
}

TEST(VariantChangeType, ByrefSourceIsDereferenced) {
    BSTR target = SysAllocString(u"15");
    VARIANT ref;
    ref.vt = VT_BSTR | VT_BYREF;
    ref.pbstrVal = &target;
    EXPECT_EQ(converted(ref, VT_I4).lVal, 15);
    SysFreeString(target);
}

TEST(VariantChangeType, InPlaceConversionFreesTheOldValue) {
    Variant v = text(u"123");
    ASSERT_EQ(VariantChangeType(&v, &v, 0, VT_I4), S_OK);
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, 123);
    // A failed conversion leaves the variant as it was.
    Variant keep = text(u"nope");
    EXPECT_EQ(VariantChangeType(&keep, &keep, 0, VT_I4), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(keep.vt, VT_BSTR);
    EXPECT_EQ(VariantChangeTypeEx(&keep, &keep, LOCALE_INVARIANT, 0, VT_BSTR), S_OK);
}

// An object whose DISPID_VALUE property is 7, or which refuses every call.
class ValueObject final : public IDispatch {
  public:
    explicit ValueObject(bool refuse) : refuse_(refuse) {}
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        *ppv = nullptr;
        if (riid != IID_IUnknown && riid != IID_IDispatch)
            return E_NOINTERFACE;
        *ppv = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }
    HRESULT GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO*, UINT*) override {
        if (refuse_ || id != DISPID_VALUE || !(flags & DISPATCH_PROPERTYGET))
            return DISP_E_MEMBERNOTFOUND;
        if (params->cArgs != 0)
            return DISP_E_BADPARAMCOUNT;
        result->vt = VT_I4;
        result->lVal = 7;
        return S_OK;
    }
    ULONG refs = 1;

  private:
    bool refuse_;
};

TEST(VariantChangeType, ObjectsConvertThroughTheirValueProperty) {
    ValueObject obj(false);
    {
        Variant v(static_cast<IDispatch*>(&obj));
        EXPECT_EQ(converted(v, VT_I4).lVal, 7);
        EXPECT_EQ(asText(v), u"7");
        Variant out;
        EXPECT_EQ(VariantChangeType(&out, &v, VARIANT_NOVALUEPROP, VT_I4), DISP_E_TYPEMISMATCH);
        Variant unk = converted(v, VT_UNKNOWN);
        EXPECT_EQ(unk.punkVal, static_cast<IUnknown*>(&obj));
    }
    EXPECT_EQ(obj.refs, 1u);
    ValueObject refusing(true);
    Variant r(static_cast<IDispatch*>(&refusing));
    EXPECT_EQ(attempt(r, VT_I4), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(attempt(i4(1), VT_DISPATCH), DISP_E_TYPEMISMATCH);
}

}  // namespace
