// Helpers for the servers' IDispatch::Invoke and GetIDsOfNames: reading positional
// arguments, binding [out] arguments passed by reference, and reporting failures.
#pragma once

#include <optional>
#include <string_view>

#include "platform/com/bstr.h"
#include "platform/com/dispatch.h"
#include "platform/com/iids.h"
#include "platform/com/variant.h"

namespace wscom {

// Resolves every name of a GetIDsOfNames request with `lookup` (a name to an optional
// DISPID). Unknown names get DISPID_UNKNOWN and make the result DISP_E_UNKNOWNNAME.
template <class Lookup>
HRESULT resolveNames(REFIID riid, LPOLESTR* names, UINT count, DISPID* ids, Lookup&& lookup) {
    if (riid != IID_NULL)
        return DISP_E_UNKNOWNINTERFACE;
    if (count > 0 && (!names || !ids))
        return E_INVALIDARG;
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) {
        std::optional<DISPID> id;
        if (names[i])
            id = lookup(std::u16string_view(names[i]));
        ids[i] = id ? *id : DISPID_UNKNOWN;
        if (!id)
            hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

// rgvarg index of the positional argument `position` (0 = first) of a call without named
// arguments; arguments are stored last to first.
inline UINT argumentIndex(const DISPPARAMS& params, UINT position) {
    return params.cArgs - 1 - position;
}

// Argument `position` converted to vt into `holder`; a failed conversion sets *argErr.
HRESULT argumentAs(DISPPARAMS& params, UINT position, VARTYPE vt, nv::com::Variant& holder,
                   UINT* argErr);

// An [in] VARIANT argument: the argument itself, or what a VT_VARIANT|VT_BYREF one points at.
VARIANT* variantArgument(DISPPARAMS& params, UINT position);

// An [out] VARIANT argument, which must be passed as VT_VARIANT|VT_BYREF: the VARIANT it
// points at, or null (with *argErr set) for anything else.
VARIANT* variantResult(DISPPARAMS& params, UINT position, UINT* argErr);

// An [out] BSTR argument, passed as VT_BSTR|VT_BYREF or VT_VARIANT|VT_BYREF. The method
// writes into slot(); deliver() then frees what the caller's variable held and stores the
// result there (late-bound callers pass their variable as it is, so its old value would leak).
class BstrResult {
  public:
    BstrResult() = default;
    BstrResult(const BstrResult&) = delete;
    BstrResult& operator=(const BstrResult&) = delete;
    ~BstrResult() { SysFreeString(value_); }

    // DISP_E_TYPEMISMATCH (with *argErr set) when the argument is no such reference.
    HRESULT bind(DISPPARAMS& params, UINT position, UINT* argErr);
    BSTR* slot() { return &value_; }
    void deliver();

  private:
    VARIANTARG* target_ = nullptr;
    BSTR value_ = nullptr;
};

// What Invoke returns for a method that failed with hr: DISP_E_EXCEPTION with hr in the
// exception's scode when the caller gave an EXCEPINFO, hr itself otherwise.
HRESULT methodFailure(HRESULT hr, EXCEPINFO* excepInfo);

}  // namespace wscom
