// IDispatch: late-bound calls by DISPID, with arguments in DISPPARAMS.
#pragma once

#include "platform/com/unknown.h"
#include "platform/com/variant.h"
#include "platform/export.h"

struct ITypeInfo;

#define DISPID_UNKNOWN (-1)
#define DISPID_VALUE 0
#define DISPID_PROPERTYPUT (-3)
#define DISPID_NEWENUM (-4)
#define DISPID_EVALUATE (-5)
#define DISPID_CONSTRUCTOR (-6)
#define DISPID_DESTRUCTOR (-7)
#define DISPID_COLLECT (-8)

#define DISPATCH_METHOD 0x1
#define DISPATCH_PROPERTYGET 0x2
#define DISPATCH_PROPERTYPUT 0x4
#define DISPATCH_PROPERTYPUTREF 0x8

// Arguments are stored last-to-first: rgvarg[cArgs - 1] is the first positional argument.
// Named arguments come first in rgvarg, matched by rgdispidNamedArgs.
struct DISPPARAMS {
    VARIANTARG* rgvarg;
    DISPID* rgdispidNamedArgs;
    UINT cArgs;
    UINT cNamedArgs;
};

// Filled by a callee that returns DISP_E_EXCEPTION; the caller frees the BSTRs.
struct EXCEPINFO {
    WORD wCode;
    WORD wReserved;
    BSTR bstrSource;
    BSTR bstrDescription;
    BSTR bstrHelpFile;
    DWORD dwHelpContext;
    PVOID pvReserved;
    HRESULT (*pfnDeferredFillIn)(EXCEPINFO*);
    SCODE scode;
};
typedef EXCEPINFO* LPEXCEPINFO;

struct IDispatch : public IUnknown {
    virtual HRESULT GetTypeInfoCount(UINT* pctinfo) = 0;
    virtual HRESULT GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) = 0;
    virtual HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                                  DISPID* rgDispId) = 0;
    virtual HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                           DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                           UINT* puArgErr) = 0;

  protected:
    ~IDispatch() = default;
};
typedef IDispatch* LPDISPATCH;
NV_COM_INTERFACE_ID(IDispatch, IID_IDispatch);

extern "C" {

// Fetches argument `position` (0 = first positional; a named argument whose DISPID equals
// `position` wins) converted to vtTarg into *pvarResult, which is initialised first and then
// owned by the caller. DISP_E_PARAMNOTFOUND when absent; on a failed conversion *puArgErr is
// the index into rgvarg.
NV_PLATFORM_API HRESULT DispGetParam(DISPPARAMS* pdispparams, UINT position, VARTYPE vtTarg,
                                     VARIANT* pvarResult, UINT* puArgErr) noexcept;
// Forwards to ptinfo->GetIDsOfNames.
NV_PLATFORM_API HRESULT DispGetIDsOfNames(ITypeInfo* ptinfo, LPOLESTR* rgszNames, UINT cNames,
                                          DISPID* rgdispid) noexcept;

}  // extern "C"
