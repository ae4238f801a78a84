// VARIANT: the Automation value type, with a flat union as in the Windows headers
// (v.vt, v.lVal, v.bstrVal, ...).
//
// Ownership: a VARIANT owns what it holds unless VT_BYREF is set: a BSTR (freed by
// VariantClear), an interface reference (released) or a SAFEARRAY (destroyed). Byref
// variants only point at storage someone else owns.
#pragma once

#include <string_view>
#include <utility>

#include "platform/com/types.h"
#include "platform/export.h"

struct IUnknown;
struct IDispatch;
struct SAFEARRAY;
struct VARIANT;

enum VARENUM {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_CY = 6,
    VT_DATE = 7,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_UNKNOWN = 13,
    VT_DECIMAL = 14,
    VT_I1 = 16,
    VT_UI1 = 17,
    VT_UI2 = 18,
    VT_UI4 = 19,
    VT_I8 = 20,
    VT_UI8 = 21,
    VT_INT = 22,
    VT_UINT = 23,
    VT_VOID = 24,
    VT_HRESULT = 25,
    VT_PTR = 26,
    VT_SAFEARRAY = 27,
    VT_CARRAY = 28,
    VT_USERDEFINED = 29,
    VT_LPSTR = 30,
    VT_LPWSTR = 31,
    VT_RECORD = 36,
    VT_ARRAY = 0x2000,
    VT_BYREF = 0x4000,
    VT_RESERVED = 0x8000,
    VT_TYPEMASK = 0x0FFF,
};

struct VARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        LONGLONG llVal;
        LONG lVal;
        BYTE bVal;
        SHORT iVal;
        FLOAT fltVal;
        DOUBLE dblVal;
        VARIANT_BOOL boolVal;
        SCODE scode;
        CY cyVal;
        DATE date;
        BSTR bstrVal;
        IUnknown* punkVal;
        IDispatch* pdispVal;
        SAFEARRAY* parray;
        BYTE* pbVal;
        SHORT* piVal;
        LONG* plVal;
        LONGLONG* pllVal;
        FLOAT* pfltVal;
        DOUBLE* pdblVal;
        VARIANT_BOOL* pboolVal;
        SCODE* pscode;
        CY* pcyVal;
        DATE* pdate;
        BSTR* pbstrVal;
        IUnknown** ppunkVal;
        IDispatch** ppdispVal;
        SAFEARRAY** pparray;
        VARIANT* pvarVal;
        PVOID byref;
        CHAR cVal;
        USHORT uiVal;
        ULONG ulVal;
        ULONGLONG ullVal;
        INT intVal;
        UINT uintVal;
        CHAR* pcVal;
        USHORT* puiVal;
        ULONG* pulVal;
        ULONGLONG* pullVal;
        INT* pintVal;
        UINT* puintVal;
        // VT_RECORD's pair; records are not supported, the member keeps the Windows size.
        struct {
            PVOID pvRecord;
            PVOID pRecInfo;
        } brecVal;
    };
};
typedef VARIANT VARIANTARG;
typedef VARIANT* LPVARIANT;
typedef VARIANT* LPVARIANTARG;
static_assert(sizeof(VARIANT) == 8 + 2 * sizeof(void*));

#define V_VT(X) ((X)->vt)
#define V_ISBYREF(X) (V_VT(X) & VT_BYREF)
#define V_ISARRAY(X) (V_VT(X) & VT_ARRAY)
#define V_I2(X) ((X)->iVal)
#define V_I4(X) ((X)->lVal)
#define V_I8(X) ((X)->llVal)
#define V_UI1(X) ((X)->bVal)
#define V_R8(X) ((X)->dblVal)
#define V_BOOL(X) ((X)->boolVal)
#define V_ERROR(X) ((X)->scode)
#define V_INT(X) ((X)->intVal)
#define V_UINT(X) ((X)->uintVal)
#define V_BSTR(X) ((X)->bstrVal)
#define V_UNKNOWN(X) ((X)->punkVal)
#define V_DISPATCH(X) ((X)->pdispVal)
#define V_ARRAY(X) ((X)->parray)
#define V_VARIANTREF(X) ((X)->pvarVal)
#define V_BYREF(X) ((X)->byref)

// VariantChangeType(Ex) flags.
#define VARIANT_NOVALUEPROP 0x01
#define VARIANT_ALPHABOOL 0x02
#define VARIANT_NOUSEROVERRIDE 0x04
#define VARIANT_CALENDAR_HIJRI 0x08
#define VARIANT_LOCALBOOL 0x10

extern "C" {

// Sets VT_EMPTY; does not free anything that was there.
NV_PLATFORM_API void VariantInit(VARIANTARG* pvarg) noexcept;
// Frees what the variant owns (BSTR, interface, SAFEARRAY; nothing for VT_BYREF) and sets
// VT_EMPTY. An unknown type gives DISP_E_BADVARTYPE and a locked array DISP_E_ARRAYISLOCKED;
// in both cases the variant is left as it was.
NV_PLATFORM_API HRESULT VariantClear(VARIANTARG* pvarg) noexcept;
// Deep copy into a cleared pvargDest: BSTRs are duplicated, interfaces AddRef'd, arrays
// copied; a byref source is copied as the pointer. On failure pvargDest is unchanged.
NV_PLATFORM_API HRESULT VariantCopy(VARIANTARG* pvargDest, const VARIANTARG* pvargSrc) noexcept;
// Like VariantCopy, but a byref source is dereferenced (VT_VARIANT|VT_BYREF one level).
// pvarDest may equal pvargSrc to dereference in place.
NV_PLATFORM_API HRESULT VariantCopyInd(VARIANT* pvarDest, const VARIANTARG* pvargSrc) noexcept;
// Converts pvarSrc (dereferenced when byref) to type vt into pvargDest, which may be the same
// variant. Supported: EMPTY, NULL, I1, I2, I4, I8, UI1, UI2, UI4, UI8, INT, UINT, R4, R8, CY,
// DATE, BOOL, ERROR, BSTR, DISPATCH, UNKNOWN, with the Automation rules: numbers round half to
// even, out-of-range values give DISP_E_OVERFLOW, text that is not a number gives
// DISP_E_TYPEMISMATCH, BOOL becomes "-1"/"0" text, or "True"/"False" with VARIANT_ALPHABOOL
// (or VARIANT_LOCALBOOL), and an object converts through its DISPID_VALUE property unless
// VARIANT_NOVALUEPROP. Text is read and written locale-independently ("." decimal point, no
// digit grouping, "&H"/"&O" prefixes accepted); BSTR <-> DATE is not supported. On failure
// pvargDest is unchanged.
NV_PLATFORM_API HRESULT VariantChangeType(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc,
                                          USHORT wFlags, VARTYPE vt) noexcept;
NV_PLATFORM_API HRESULT VariantChangeTypeEx(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc,
                                            LCID lcid, USHORT wFlags, VARTYPE vt) noexcept;

}  // extern "C"

namespace nv::com {

// A VARIANT that clears itself. Layout-compatible with VARIANT (so a Variant* is a VARIANT*
// and arrays of Variant can serve as DISPPARAMS::rgvarg).
class NV_PLATFORM_API Variant : public VARIANT {
  public:
    Variant() { VariantInit(this); }
    Variant(const Variant& o);
    Variant(Variant&& o) noexcept;
    Variant& operator=(const Variant& o);
    Variant& operator=(Variant&& o) noexcept;
    ~Variant() { VariantClear(this); }

    // Copies of values; the BSTR constructors allocate and throw std::bad_alloc on failure.
    explicit Variant(const VARIANT& v);
    Variant(bool b);
    Variant(LONG i);
    Variant(double d);
    Variant(std::u16string_view text);
    Variant(const char16_t* text) : Variant(std::u16string_view(text ? text : u"")) {}
    // Takes a new reference (AddRef) on the interface; null is allowed.
    Variant(IDispatch* p);
    Variant(IUnknown* p);

    static Variant error(SCODE code);
    static Variant null();

    VARTYPE type() const { return vt; }
    // Frees what the variant holds; returns VariantClear's result.
    HRESULT clear() { return VariantClear(this); }
    // Adopts v (the caller gives up ownership), clearing the current value.
    void attach(VARIANT& v);
    // Hands the value to the caller (who clears it) and leaves this variant empty.
    VARIANT detach();
    // For out-parameters: clears first.
    VARIANT* out() {
        clear();
        return this;
    }
    // Converts in place; returns VariantChangeType's result.
    HRESULT changeType(VARTYPE type, USHORT flags = 0) {
        return VariantChangeType(this, this, flags, type);
    }
};
static_assert(sizeof(Variant) == sizeof(VARIANT));

}  // namespace nv::com
