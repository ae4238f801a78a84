#include "comserver/dispatch_args.h"

namespace wscom {

namespace {

void setArgErr(UINT* argErr, UINT index) {
    if (argErr)
        *argErr = index;
}

}  // namespace

HRESULT argumentAs(DISPPARAMS& params, UINT position, VARTYPE vt, nv::com::Variant& holder,
                   UINT* argErr) {
    UINT index = argumentIndex(params, position);
    HRESULT hr = VariantChangeType(holder.out(), &params.rgvarg[index], 0, vt);
    if (FAILED(hr))
        setArgErr(argErr, index);
    return hr;
}

VARIANT* variantArgument(DISPPARAMS& params, UINT position) {
    VARIANTARG& arg = params.rgvarg[argumentIndex(params, position)];
    if (arg.vt == (VT_VARIANT | VT_BYREF) && arg.pvarVal)
        return arg.pvarVal;
    return &arg;
}

VARIANT* variantResult(DISPPARAMS& params, UINT position, UINT* argErr) {
    UINT index = argumentIndex(params, position);
    VARIANTARG& arg = params.rgvarg[index];
    if (arg.vt == (VT_VARIANT | VT_BYREF) && arg.pvarVal)
        return arg.pvarVal;
    setArgErr(argErr, index);
    return nullptr;
}

HRESULT BstrResult::bind(DISPPARAMS& params, UINT position, UINT* argErr) {
    UINT index = argumentIndex(params, position);
    VARIANTARG& arg = params.rgvarg[index];
    if ((arg.vt == (VT_BSTR | VT_BYREF) || arg.vt == (VT_VARIANT | VT_BYREF)) && arg.byref) {
        target_ = &arg;
        return S_OK;
    }
    setArgErr(argErr, index);
    return DISP_E_TYPEMISMATCH;
}

void BstrResult::deliver() {
    if (!target_)
        return;
    if (target_->vt == (VT_BSTR | VT_BYREF)) {
        SysFreeString(*target_->pbstrVal);
        *target_->pbstrVal = value_;
    } else {
        VariantClear(target_->pvarVal);
        target_->pvarVal->vt = VT_BSTR;
        target_->pvarVal->bstrVal = value_;
    }
    value_ = nullptr;
}

HRESULT methodFailure(HRESULT hr, EXCEPINFO* excepInfo) {
    if (!excepInfo)
        return hr;
    *excepInfo = EXCEPINFO{};
    excepInfo->scode = hr;
    return DISP_E_EXCEPTION;
}

}  // namespace wscom
