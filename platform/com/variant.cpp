#include "platform/com/variant.h"

#include <cstring>
#include <new>
#include <stdexcept>

#include "platform/com/bstr.h"
#include "platform/com/dispatch.h"
#include "platform/com/safearray.h"
#include "platform/com/variant_types.h"

namespace {

using nv::com::detail::byrefTargetSize;
using nv::com::detail::isValidVariantType;

// Deep copy of src into the raw storage dst (whose old contents are ignored).
HRESULT copyValue(VARIANT& dst, const VARIANT& src) {
    if (!isValidVariantType(src.vt))
        return DISP_E_BADVARTYPE;
    std::memcpy(&dst, &src, sizeof dst);
    if (src.vt & VT_BYREF)
        return S_OK;
    if (src.vt & VT_ARRAY) {
        dst.parray = nullptr;
        HRESULT hr = SafeArrayCopy(src.parray, &dst.parray);
        if (FAILED(hr))
            VariantInit(&dst);
        return hr;
    }
    switch (src.vt) {
        case VT_BSTR:
            if (src.bstrVal) {
                dst.bstrVal = SysAllocStringByteLen(reinterpret_cast<LPCSTR>(src.bstrVal),
                                                    SysStringByteLen(src.bstrVal));
                if (!dst.bstrVal) {
                    VariantInit(&dst);
                    return E_OUTOFMEMORY;
                }
            }
            break;
        case VT_UNKNOWN:
            if (src.punkVal)
                src.punkVal->AddRef();
            break;
        case VT_DISPATCH:
            if (src.pdispVal)
                src.pdispVal->AddRef();
            break;
        default:
            break;
    }
    return S_OK;
}

// Moves a finished value into dest, clearing dest's old value first.
HRESULT replace(VARIANT* dest, VARIANT& value) {
    HRESULT hr = VariantClear(dest);
    if (FAILED(hr)) {
        VariantClear(&value);
        return hr;
    }
    std::memcpy(dest, &value, sizeof value);
    return S_OK;
}

}  // namespace

extern "C" {

void VariantInit(VARIANTARG* pvarg) noexcept {
    if (!pvarg)
        return;
    pvarg->vt = VT_EMPTY;
    pvarg->wReserved1 = pvarg->wReserved2 = pvarg->wReserved3 = 0;
    pvarg->llVal = 0;
}

HRESULT VariantClear(VARIANTARG* pvarg) noexcept {
    if (!pvarg)
        return E_INVALIDARG;
    if (!isValidVariantType(pvarg->vt))
        return DISP_E_BADVARTYPE;
    if (!(pvarg->vt & VT_BYREF)) {
        if (pvarg->vt & VT_ARRAY) {
            HRESULT hr = SafeArrayDestroy(pvarg->parray);
            if (FAILED(hr))
                return hr;
        } else if (pvarg->vt == VT_BSTR) {
            SysFreeString(pvarg->bstrVal);
        } else if (pvarg->vt == VT_UNKNOWN) {
            if (pvarg->punkVal)
                pvarg->punkVal->Release();
        } else if (pvarg->vt == VT_DISPATCH) {
            if (pvarg->pdispVal)
                pvarg->pdispVal->Release();
        }
    }
    VariantInit(pvarg);
    return S_OK;
}

HRESULT VariantCopy(VARIANTARG* pvargDest, const VARIANTARG* pvargSrc) noexcept {
    if (!pvargDest || !pvargSrc)
        return E_INVALIDARG;
    if (pvargDest == pvargSrc)
        return isValidVariantType(pvargSrc->vt) ? S_OK : DISP_E_BADVARTYPE;
    VARIANT value;
    HRESULT hr = copyValue(value, *pvargSrc);
    if (FAILED(hr))
        return hr;
    return replace(pvargDest, value);
}

HRESULT VariantCopyInd(VARIANT* pvarDest, const VARIANTARG* pvargSrc) noexcept {
    if (!pvarDest || !pvargSrc)
        return E_INVALIDARG;
    if (!(pvargSrc->vt & VT_BYREF))
        return VariantCopy(pvarDest, pvargSrc);
    if (!isValidVariantType(pvargSrc->vt))
        return DISP_E_BADVARTYPE;
    if (!pvargSrc->byref)
        return E_INVALIDARG;

    // A borrowed view of the referenced value, then a deep copy of that.
    VARIANT view;
    VariantInit(&view);
    VARTYPE base = pvargSrc->vt & ~VT_BYREF;
    if (base == VT_VARIANT) {
        const VARIANT* inner = pvargSrc->pvarVal;
        if (inner->vt & VT_BYREF)
            return E_INVALIDARG;
        std::memcpy(&view, inner, sizeof view);
    } else {
        view.vt = base;
        std::memcpy(&view.llVal, pvargSrc->byref, byrefTargetSize(base));
    }
    VARIANT value;
    HRESULT hr = copyValue(value, view);
    if (FAILED(hr))
        return hr;
    return replace(pvarDest, value);
}

}  // extern "C"

namespace nv::com {

namespace {

void check(HRESULT hr) {
    if (hr == E_OUTOFMEMORY)
        throw std::bad_alloc();
    if (FAILED(hr))
        throw std::invalid_argument("VARIANT cannot be copied");
}

}  // namespace

Variant::Variant(const Variant& o) : Variant() {
    check(VariantCopy(this, &o));
}

Variant::Variant(const VARIANT& v) : Variant() {
    check(VariantCopy(this, &v));
}

Variant::Variant(Variant&& o) noexcept : VARIANT(o) {
    VariantInit(&o);
}

Variant& Variant::operator=(const Variant& o) {
    check(VariantCopy(this, &o));
    return *this;
}

Variant& Variant::operator=(Variant&& o) noexcept {
    if (this != &o) {
        VariantClear(this);
        std::memcpy(static_cast<VARIANT*>(this), static_cast<VARIANT*>(&o), sizeof(VARIANT));
        VariantInit(&o);
    }
    return *this;
}

Variant::Variant(bool b) : Variant() {
    vt = VT_BOOL;
    boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
}

Variant::Variant(LONG i) : Variant() {
    vt = VT_I4;
    lVal = i;
}

Variant::Variant(double d) : Variant() {
    vt = VT_R8;
    dblVal = d;
}

Variant::Variant(std::u16string_view text) : Variant() {
    bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!bstrVal)
        throw std::bad_alloc();
    vt = VT_BSTR;
}

Variant::Variant(IDispatch* p) : Variant() {
    vt = VT_DISPATCH;
    pdispVal = p;
    if (p)
        p->AddRef();
}

Variant::Variant(IUnknown* p) : Variant() {
    vt = VT_UNKNOWN;
    punkVal = p;
    if (p)
        p->AddRef();
}

Variant Variant::error(SCODE code) {
    Variant v;
    v.vt = VT_ERROR;
    v.scode = code;
    return v;
}

Variant Variant::null() {
    Variant v;
    v.vt = VT_NULL;
    return v;
}

void Variant::attach(VARIANT& v) {
    VariantClear(this);
    std::memcpy(static_cast<VARIANT*>(this), &v, sizeof v);
    VariantInit(&v);
}

VARIANT Variant::detach() {
    VARIANT v;
    std::memcpy(&v, static_cast<VARIANT*>(this), sizeof v);
    VariantInit(this);
    return v;
}

}  // namespace nv::com
