// SAFEARRAY: self-describing Automation arrays of one element type, any number of dimensions.
//
// As on Windows, SafeArrayCreate takes the bounds left-most dimension first while the
// descriptor stores them reversed (rgsabound[0] is the right-most dimension), and index
// vectors list the left-most dimension first; elements are stored with the left-most index
// varying fastest. SafeArrayRedim changes the right-most dimension only.
//
// Ownership: the array owns its elements (BSTRs, interface references, VARIANT contents) and
// SafeArrayDestroy frees them with the data and the descriptor.
#pragma once

#include "platform/com/types.h"
#include "platform/com/variant.h"
#include "platform/export.h"

struct SAFEARRAYBOUND {
    ULONG cElements;
    LONG lLbound;
};
typedef SAFEARRAYBOUND* LPSAFEARRAYBOUND;

struct SAFEARRAY {
    USHORT cDims;
    USHORT fFeatures;
    ULONG cbElements;
    ULONG cLocks;
    PVOID pvData;
    SAFEARRAYBOUND rgsabound[1];
};
typedef SAFEARRAY* LPSAFEARRAY;

#define FADF_AUTO 0x0001
#define FADF_STATIC 0x0002
#define FADF_EMBEDDED 0x0004
#define FADF_FIXEDSIZE 0x0010
#define FADF_RECORD 0x0020
#define FADF_HAVEIID 0x0040
#define FADF_HAVEVARTYPE 0x0080
#define FADF_BSTR 0x0100
#define FADF_UNKNOWN 0x0200
#define FADF_DISPATCH 0x0400
#define FADF_VARIANT 0x0800
#define FADF_RESERVED 0xF008

extern "C" {

// Element types: I1, I2, I4, I8, UI1, UI2, UI4, UI8, INT, UINT, R4, R8, CY, DATE, BOOL, ERROR,
// BSTR, VARIANT, UNKNOWN, DISPATCH. Elements start zeroed (empty VARIANTs, null BSTRs and
// pointers). Null for an unsupported type, no dimensions, or when memory runs out.
NV_PLATFORM_API SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT cDims,
                                           SAFEARRAYBOUND* rgsabound) noexcept;
NV_PLATFORM_API SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lLbound,
                                                 ULONG cElements) noexcept;
// Null is fine. DISP_E_ARRAYISLOCKED while locked.
NV_PLATFORM_API HRESULT SafeArrayDestroy(SAFEARRAY* psa) noexcept;
// New bounds for the right-most dimension: new elements are zeroed, dropped ones freed.
NV_PLATFORM_API HRESULT SafeArrayRedim(SAFEARRAY* psa, SAFEARRAYBOUND* psaboundNew) noexcept;
// Copies the element out: a BSTR is duplicated (pv is a BSTR*), an interface AddRef'd
// (pv is an IUnknown** / IDispatch**), a VARIANT deep-copied into *pv, which is overwritten
// without being cleared. DISP_E_BADINDEX for an index out of range.
NV_PLATFORM_API HRESULT SafeArrayGetElement(SAFEARRAY* psa, LONG* rgIndices, void* pv) noexcept;
// Copies *pv in, freeing the old element. For BSTR, UNKNOWN and DISPATCH arrays pv is the
// value itself (the BSTR / interface pointer), as on Windows; otherwise it points at it.
NV_PLATFORM_API HRESULT SafeArrayPutElement(SAFEARRAY* psa, LONG* rgIndices, void* pv) noexcept;
// nDim counts from 1 (the left-most dimension); DISP_E_BADINDEX outside 1..cDims.
NV_PLATFORM_API HRESULT SafeArrayGetLBound(SAFEARRAY* psa, UINT nDim, LONG* plLbound) noexcept;
NV_PLATFORM_API HRESULT SafeArrayGetUBound(SAFEARRAY* psa, UINT nDim, LONG* plUbound) noexcept;
NV_PLATFORM_API UINT SafeArrayGetDim(SAFEARRAY* psa) noexcept;
NV_PLATFORM_API UINT SafeArrayGetElemsize(SAFEARRAY* psa) noexcept;
NV_PLATFORM_API HRESULT SafeArrayGetVartype(SAFEARRAY* psa, VARTYPE* pvt) noexcept;
// Deep copy; a null psa gives a null copy.
NV_PLATFORM_API HRESULT SafeArrayCopy(SAFEARRAY* psa, SAFEARRAY** ppsaOut) noexcept;
NV_PLATFORM_API HRESULT SafeArrayLock(SAFEARRAY* psa) noexcept;
// E_UNEXPECTED when the array is not locked.
NV_PLATFORM_API HRESULT SafeArrayUnlock(SAFEARRAY* psa) noexcept;
// Locks the array and gives its data pointer; undo with SafeArrayUnaccessData.
NV_PLATFORM_API HRESULT SafeArrayAccessData(SAFEARRAY* psa, void** ppvData) noexcept;
NV_PLATFORM_API HRESULT SafeArrayUnaccessData(SAFEARRAY* psa) noexcept;
// Address of an element (no lock taken; valid until the array is resized or destroyed).
NV_PLATFORM_API HRESULT SafeArrayPtrOfIndex(SAFEARRAY* psa, LONG* rgIndices,
                                            void** ppvData) noexcept;

}  // extern "C"
