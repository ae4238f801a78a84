#include "platform/com/dispatch.h"
#include "platform/com/typeinfo.h"

extern "C" {

HRESULT DispGetParam(DISPPARAMS* pdispparams, UINT position, VARTYPE vtTarg, VARIANT* pvarResult,
                     UINT* puArgErr) noexcept {
    if (!pdispparams || !pvarResult)
        return E_INVALIDARG;
    VariantInit(pvarResult);
    if (pdispparams->cArgs && !pdispparams->rgvarg)
        return E_INVALIDARG;
    UINT index = pdispparams->cArgs;
    for (UINT i = 0; i < pdispparams->cNamedArgs && i < pdispparams->cArgs; ++i) {
        if (pdispparams->rgdispidNamedArgs &&
            pdispparams->rgdispidNamedArgs[i] == static_cast<DISPID>(position)) {
            index = i;
            break;
        }
    }
    if (index == pdispparams->cArgs) {
        // Positional arguments follow the named ones, last argument first.
        UINT positional = pdispparams->cArgs - pdispparams->cNamedArgs;
        if (pdispparams->cNamedArgs > pdispparams->cArgs || position >= positional)
            return DISP_E_PARAMNOTFOUND;
        index = pdispparams->cArgs - 1 - position;
    }
    HRESULT hr = VariantChangeType(pvarResult, &pdispparams->rgvarg[index], 0, vtTarg);
    if (FAILED(hr) && puArgErr && (hr == DISP_E_TYPEMISMATCH || hr == DISP_E_OVERFLOW))
        *puArgErr = index;
    return hr;
}

HRESULT DispGetIDsOfNames(ITypeInfo* ptinfo, LPOLESTR* rgszNames, UINT cNames,
                          DISPID* rgdispid) noexcept {
    if (!ptinfo)
        return E_INVALIDARG;
    return ptinfo->GetIDsOfNames(rgszNames, cNames, rgdispid);
}

}  // extern "C"
