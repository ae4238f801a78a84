#include "platform/com/safearray.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "platform/com/bstr.h"
#include "platform/com/dispatch.h"
#include "platform/com/iids.h"
#include "platform/com/variant_types.h"

namespace {

using nv::com::detail::arrayElementSize;

// Created descriptors carry 16 bytes in front: the element IID (FADF_HAVEIID) or, in the last
// four bytes, the element VARTYPE (FADF_HAVEVARTYPE), where Windows keeps them.
constexpr std::size_t kPrefix = 16;
constexpr USHORT kForeignStorage = FADF_AUTO | FADF_STATIC | FADF_EMBEDDED;
constexpr USHORT kElementKinds = FADF_BSTR | FADF_UNKNOWN | FADF_DISPATCH | FADF_VARIANT;
constexpr ULONG kMaxLocks = 0xFFFF;

char* prefixOf(SAFEARRAY* psa) {
    return reinterpret_cast<char*>(psa) - kPrefix;
}

std::size_t descriptorSize(UINT cDims) {
    return sizeof(SAFEARRAY) + (cDims - 1) * sizeof(SAFEARRAYBOUND);
}

// Number of elements, or false on overflow of the addressable size.
bool cellCount(const SAFEARRAY* psa, std::size_t& cells) {
    std::size_t n = 1;
    for (USHORT d = 0; d < psa->cDims; ++d) {
        std::size_t e = psa->rgsabound[d].cElements;
        if (e != 0 && n > std::numeric_limits<std::size_t>::max() / e)
            return false;
        n *= e;
    }
    if (psa->cbElements != 0 && n > std::numeric_limits<std::size_t>::max() / psa->cbElements)
        return false;
    cells = n;
    return true;
}

// Element number of rgIndices; rgIndices[0] is the left-most dimension, which is stored last.
bool cellOf(const SAFEARRAY* psa, const LONG* rgIndices, std::size_t& cell) {
    std::size_t index = 0;
    std::size_t stride = 1;
    for (USHORT i = 0; i < psa->cDims; ++i) {
        const SAFEARRAYBOUND& b = psa->rgsabound[psa->cDims - 1 - i];
        std::int64_t offset = std::int64_t{rgIndices[i]} - b.lLbound;
        if (offset < 0 || offset >= std::int64_t{b.cElements})
            return false;
        index += static_cast<std::size_t>(offset) * stride;
        stride *= b.cElements;
    }
    cell = index;
    return true;
}

void* cellAddress(SAFEARRAY* psa, std::size_t cell) {
    return static_cast<char*>(psa->pvData) + cell * psa->cbElements;
}

void clearCells(SAFEARRAY* psa, std::size_t from, std::size_t to) {
    if (!psa->pvData)
        return;
    for (std::size_t i = from; i < to; ++i) {
        void* p = cellAddress(psa, i);
        if (psa->fFeatures & FADF_BSTR) {
            BSTR* s = static_cast<BSTR*>(p);
            SysFreeString(*s);
            *s = nullptr;
        } else if (psa->fFeatures & (FADF_UNKNOWN | FADF_DISPATCH)) {
            IUnknown** u = static_cast<IUnknown**>(p);
            if (*u)
                (*u)->Release();
            *u = nullptr;
        } else if (psa->fFeatures & FADF_VARIANT) {
            VariantClear(static_cast<VARIANT*>(p));
        }
    }
}

// A zeroed descriptor with its prefix; features describe the element type when vt is known.
SAFEARRAY* allocateDescriptor(VARTYPE vt, UINT cDims, ULONG cbElements) {
    char* block = static_cast<char*>(std::calloc(1, kPrefix + descriptorSize(cDims)));
    if (!block)
        return nullptr;
    auto* psa = reinterpret_cast<SAFEARRAY*>(block + kPrefix);
    psa->cDims = static_cast<USHORT>(cDims);
    psa->cbElements = cbElements;
    switch (vt) {
        case VT_BSTR:
            psa->fFeatures = FADF_BSTR | FADF_HAVEVARTYPE;
            break;
        case VT_VARIANT:
            psa->fFeatures = FADF_VARIANT | FADF_HAVEVARTYPE;
            break;
        case VT_UNKNOWN:
            psa->fFeatures = FADF_UNKNOWN | FADF_HAVEIID;
            std::memcpy(block, &IID_IUnknown, sizeof(IID));
            break;
        case VT_DISPATCH:
            psa->fFeatures = FADF_DISPATCH | FADF_HAVEIID;
            std::memcpy(block, &IID_IDispatch, sizeof(IID));
            break;
        default:
            psa->fFeatures = FADF_HAVEVARTYPE;
            break;
    }
    if (psa->fFeatures & FADF_HAVEVARTYPE) {
        DWORD stored = vt;
        std::memcpy(block + kPrefix - sizeof stored, &stored, sizeof stored);
    }
    return psa;
}

bool allocateData(SAFEARRAY* psa) {
    std::size_t cells = 0;
    if (!cellCount(psa, cells))
        return false;
    std::size_t bytes = cells * psa->cbElements;
    psa->pvData = std::calloc(1, bytes ? bytes : 1);
    return psa->pvData != nullptr;
}

void freeArray(SAFEARRAY* psa) {
    if (psa->fFeatures & kForeignStorage)
        return;
    std::free(psa->pvData);
    std::free(prefixOf(psa));
}

HRESULT copyCell(SAFEARRAY* dst, SAFEARRAY* src, std::size_t cell) {
    void* to = cellAddress(dst, cell);
    const void* from = cellAddress(src, cell);
    if (src->fFeatures & FADF_BSTR) {
        BSTR s = *static_cast<const BSTR*>(from);
        if (s) {
            BSTR c = SysAllocStringByteLen(reinterpret_cast<LPCSTR>(s), SysStringByteLen(s));
            if (!c)
                return E_OUTOFMEMORY;
            *static_cast<BSTR*>(to) = c;
        }
        return S_OK;
    }
    if (src->fFeatures & FADF_VARIANT)
        return VariantCopy(static_cast<VARIANT*>(to), static_cast<const VARIANT*>(from));
    std::memcpy(to, from, src->cbElements);
    if (src->fFeatures & (FADF_UNKNOWN | FADF_DISPATCH)) {
        IUnknown* u = *static_cast<IUnknown* const*>(from);
        if (u)
            u->AddRef();
    }
    return S_OK;
}

// Runs fn with the array locked, as Windows does around element access.
template <class F>
HRESULT withLock(SAFEARRAY* psa, F&& fn) {
    HRESULT hr = SafeArrayLock(psa);
    if (FAILED(hr))
        return hr;
    hr = fn();
    SafeArrayUnlock(psa);
    return hr;
}

}  // namespace

extern "C" {

SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT cDims, SAFEARRAYBOUND* rgsabound) noexcept {
    std::size_t size = arrayElementSize(vt);
    if (size == 0 || cDims == 0 || cDims > 0xFFFF || !rgsabound)
        return nullptr;
    SAFEARRAY* psa = allocateDescriptor(vt, cDims, static_cast<ULONG>(size));
    if (!psa)
        return nullptr;
    for (UINT i = 0; i < cDims; ++i)
        psa->rgsabound[cDims - 1 - i] = rgsabound[i];
    if (!allocateData(psa)) {
        std::free(prefixOf(psa));
        return nullptr;
    }
    return psa;
}

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lLbound, ULONG cElements) noexcept {
    SAFEARRAYBOUND bound{cElements, lLbound};
    return SafeArrayCreate(vt, 1, &bound);
}

HRESULT SafeArrayDestroy(SAFEARRAY* psa) noexcept {
    if (!psa)
        return S_OK;
    if (psa->cLocks > 0)
        return DISP_E_ARRAYISLOCKED;
    std::size_t cells = 0;
    if (cellCount(psa, cells))
        clearCells(psa, 0, cells);
    freeArray(psa);
    return S_OK;
}

HRESULT SafeArrayRedim(SAFEARRAY* psa, SAFEARRAYBOUND* psaboundNew) noexcept {
    if (!psa || !psaboundNew || psa->cDims == 0)
        return E_INVALIDARG;
    if (psa->cLocks > 0 || (psa->fFeatures & FADF_FIXEDSIZE))
        return DISP_E_ARRAYISLOCKED;
    if (psa->fFeatures & kForeignStorage)
        return E_INVALIDARG;

    std::size_t oldCells = 0;
    if (!cellCount(psa, oldCells))
        return E_UNEXPECTED;
    SAFEARRAYBOUND old = psa->rgsabound[0];
    psa->rgsabound[0] = *psaboundNew;
    std::size_t newCells = 0;
    if (!cellCount(psa, newCells)) {
        psa->rgsabound[0] = old;
        return E_OUTOFMEMORY;
    }
    if (newCells < oldCells)
        clearCells(psa, newCells, oldCells);
    std::size_t bytes = newCells * psa->cbElements;
    void* data = std::realloc(psa->pvData, bytes ? bytes : 1);
    if (!data) {
        // Shrinking never fails in practice; growing leaves the array as it was.
        psa->rgsabound[0] = old;
        return E_OUTOFMEMORY;
    }
    psa->pvData = data;
    if (newCells > oldCells)
        std::memset(cellAddress(psa, oldCells), 0, (newCells - oldCells) * psa->cbElements);
    return S_OK;
}

HRESULT SafeArrayGetElement(SAFEARRAY* psa, LONG* rgIndices, void* pv) noexcept {
    if (!psa || !rgIndices || !pv)
        return E_INVALIDARG;
    std::size_t cell = 0;
    if (!cellOf(psa, rgIndices, cell))
        return DISP_E_BADINDEX;
    return withLock(psa, [&]() -> HRESULT {
        const void* from = cellAddress(psa, cell);
        if (psa->fFeatures & FADF_BSTR) {
            BSTR s = *static_cast<const BSTR*>(from);
            BSTR c = nullptr;
            if (s) {
                c = SysAllocStringByteLen(reinterpret_cast<LPCSTR>(s), SysStringByteLen(s));
                if (!c)
                    return E_OUTOFMEMORY;
            }
            *static_cast<BSTR*>(pv) = c;
            return S_OK;
        }
        if (psa->fFeatures & FADF_VARIANT) {
            VariantInit(static_cast<VARIANT*>(pv));
            return VariantCopy(static_cast<VARIANT*>(pv), static_cast<const VARIANT*>(from));
        }
        std::memcpy(pv, from, psa->cbElements);
        if (psa->fFeatures & (FADF_UNKNOWN | FADF_DISPATCH)) {
            IUnknown* u = *static_cast<IUnknown* const*>(from);
            if (u)
                u->AddRef();
        }
        return S_OK;
    });
}

HRESULT SafeArrayPutElement(SAFEARRAY* psa, LONG* rgIndices, void* pv) noexcept {
    if (!psa || !rgIndices)
        return E_INVALIDARG;
    bool pointerValued = psa->fFeatures & (FADF_BSTR | FADF_UNKNOWN | FADF_DISPATCH);
    if (!pv && !pointerValued)
        return E_INVALIDARG;
    std::size_t cell = 0;
    if (!cellOf(psa, rgIndices, cell))
        return DISP_E_BADINDEX;
    return withLock(psa, [&]() -> HRESULT {
        void* to = cellAddress(psa, cell);
        if (psa->fFeatures & FADF_BSTR) {
            BSTR s = static_cast<BSTR>(pv);
            BSTR c = nullptr;
            if (s) {
                c = SysAllocStringByteLen(reinterpret_cast<LPCSTR>(s), SysStringByteLen(s));
                if (!c)
                    return E_OUTOFMEMORY;
            }
            SysFreeString(*static_cast<BSTR*>(to));
            *static_cast<BSTR*>(to) = c;
            return S_OK;
        }
        if (psa->fFeatures & (FADF_UNKNOWN | FADF_DISPATCH)) {
            auto* u = static_cast<IUnknown*>(pv);
            if (u)
                u->AddRef();
            IUnknown*& slot = *static_cast<IUnknown**>(to);
            if (slot)
                slot->Release();
            slot = u;
            return S_OK;
        }
        if (psa->fFeatures & FADF_VARIANT)
            return VariantCopy(static_cast<VARIANT*>(to), static_cast<const VARIANT*>(pv));
        std::memcpy(to, pv, psa->cbElements);
        return S_OK;
    });
}

HRESULT SafeArrayGetLBound(SAFEARRAY* psa, UINT nDim, LONG* plLbound) noexcept {
    if (!psa || !plLbound)
        return E_INVALIDARG;
    if (nDim == 0 || nDim > psa->cDims)
        return DISP_E_BADINDEX;
    *plLbound = psa->rgsabound[psa->cDims - nDim].lLbound;
    return S_OK;
}

HRESULT SafeArrayGetUBound(SAFEARRAY* psa, UINT nDim, LONG* plUbound) noexcept {
    if (!psa || !plUbound)
        return E_INVALIDARG;
    if (nDim == 0 || nDim > psa->cDims)
        return DISP_E_BADINDEX;
    const SAFEARRAYBOUND& b = psa->rgsabound[psa->cDims - nDim];
    *plUbound = static_cast<LONG>(std::int64_t{b.lLbound} + b.cElements - 1);
    return S_OK;
}

UINT SafeArrayGetDim(SAFEARRAY* psa) noexcept {
    return psa ? psa->cDims : 0;
}

UINT SafeArrayGetElemsize(SAFEARRAY* psa) noexcept {
    return psa ? psa->cbElements : 0;
}

HRESULT SafeArrayGetVartype(SAFEARRAY* psa, VARTYPE* pvt) noexcept {
    if (!psa || !pvt)
        return E_INVALIDARG;
    if (psa->fFeatures & FADF_HAVEVARTYPE) {
        DWORD stored = 0;
        std::memcpy(&stored, prefixOf(psa) + kPrefix - sizeof stored, sizeof stored);
        *pvt = static_cast<VARTYPE>(stored);
    } else if (psa->fFeatures & FADF_DISPATCH) {
        *pvt = VT_DISPATCH;
    } else if (psa->fFeatures & FADF_UNKNOWN) {
        *pvt = VT_UNKNOWN;
    } else if (psa->fFeatures & FADF_BSTR) {
        *pvt = VT_BSTR;
    } else if (psa->fFeatures & FADF_VARIANT) {
        *pvt = VT_VARIANT;
    } else if (psa->fFeatures & FADF_RECORD) {
        *pvt = VT_RECORD;
    } else {
        return E_INVALIDARG;
    }
    return S_OK;
}

HRESULT SafeArrayCopy(SAFEARRAY* psa, SAFEARRAY** ppsaOut) noexcept {
    if (!ppsaOut)
        return E_INVALIDARG;
    *ppsaOut = nullptr;
    if (!psa)
        return S_OK;
    if (psa->cDims == 0)
        return E_INVALIDARG;

    VARTYPE vt = VT_EMPTY;
    if (FAILED(SafeArrayGetVartype(psa, &vt)) || arrayElementSize(vt) != psa->cbElements)
        vt = VT_EMPTY;  // copied as plain bytes of cbElements
    SAFEARRAY* copy = allocateDescriptor(vt, psa->cDims, psa->cbElements);
    if (!copy)
        return E_OUTOFMEMORY;
    if (vt == VT_EMPTY)
        copy->fFeatures = psa->fFeatures & (kElementKinds | FADF_RECORD);
    std::memcpy(copy->rgsabound, psa->rgsabound, psa->cDims * sizeof(SAFEARRAYBOUND));
    if (!allocateData(copy)) {
        std::free(prefixOf(copy));
        return E_OUTOFMEMORY;
    }
    std::size_t cells = 0;
    cellCount(copy, cells);
    for (std::size_t i = 0; i < cells; ++i) {
        HRESULT hr = copyCell(copy, psa, i);
        if (FAILED(hr)) {
            SafeArrayDestroy(copy);
            return hr;
        }
    }
    *ppsaOut = copy;
    return S_OK;
}

HRESULT SafeArrayLock(SAFEARRAY* psa) noexcept {
    if (!psa)
        return E_INVALIDARG;
    if (psa->cLocks >= kMaxLocks)
        return E_UNEXPECTED;
    ++psa->cLocks;
    return S_OK;
}

HRESULT SafeArrayUnlock(SAFEARRAY* psa) noexcept {
    if (!psa)
        return E_INVALIDARG;
    if (psa->cLocks == 0)
        return E_UNEXPECTED;
    --psa->cLocks;
    return S_OK;
}

HRESULT SafeArrayAccessData(SAFEARRAY* psa, void** ppvData) noexcept {
    if (!psa || !ppvData)
        return E_INVALIDARG;
    HRESULT hr = SafeArrayLock(psa);
    *ppvData = SUCCEEDED(hr) ? psa->pvData : nullptr;
    return hr;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* psa) noexcept {
    return SafeArrayUnlock(psa);
}

HRESULT SafeArrayPtrOfIndex(SAFEARRAY* psa, LONG* rgIndices, void** ppvData) noexcept {
    if (!psa || !rgIndices || !ppvData)
        return E_INVALIDARG;
    std::size_t cell = 0;
    if (!cellOf(psa, rgIndices, cell))
        return DISP_E_BADINDEX;
    *ppvData = cellAddress(psa, cell);
    return S_OK;
}

}  // extern "C"
