#include "comserver/name_array.h"

#include <string_view>

#include "platform/com/bstr.h"
#include "platform/com/task_memory.h"
#include "platform/text/unicode.h"

namespace wscom {

HRESULT nameArrayFromBlock(char16_t* block, int32_t count, SAFEARRAY** out) {
    nv::com::TaskMemPtr<char16_t> owned(block);
    *out = nullptr;
    if (count <= 0 || !block)
        return S_OK;
    SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(count));
    if (!array)
        return E_OUTOFMEMORY;
    VARIANT* items = nullptr;
    SafeArrayAccessData(array, reinterpret_cast<void**>(&items));
    const char16_t* p = block;
    HRESULT hr = S_OK;
    for (int32_t i = 0; i < count; ++i) {
        std::u16string_view name = nv::text::view(p);
        items[i].bstrVal = SysAllocStringLen(name.data(), static_cast<UINT>(name.size()));
        if (!items[i].bstrVal) {
            hr = E_OUTOFMEMORY;
            break;
        }
        items[i].vt = VT_BSTR;
        p += name.size() + 1;
    }
    SafeArrayUnaccessData(array);
    if (FAILED(hr)) {
        SafeArrayDestroy(array);
        return hr;
    }
    *out = array;
    return S_OK;
}

HRESULT storeArrayCopy(SAFEARRAY* array, VARIANT* out) {
    VariantClear(out);
    if (!array)
        return S_OK;
    SAFEARRAY* copy = nullptr;
    HRESULT hr = SafeArrayCopy(array, &copy);
    if (FAILED(hr)) {
        out->vt = VT_ERROR;
        out->scode = hr;
        return hr;
    }
    out->vt = VT_ARRAY | VT_VARIANT;
    out->parray = copy;
    return S_OK;
}

}  // namespace wscom
