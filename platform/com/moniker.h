// Monikers (file monikers only) and the process-wide running object table.
#pragma once

#include "platform/com/persist.h"
#include "platform/com/unknown.h"
#include "platform/export.h"

// Bind contexts and moniker enumerators are not provided; these names only complete the
// IMoniker signatures. Pass null where a bind context is asked for.
struct IBindCtx;
struct IEnumMoniker;

enum MKSYS {
    MKSYS_NONE = 0,
    MKSYS_GENERICCOMPOSITE = 1,
    MKSYS_FILEMONIKER = 2,
    MKSYS_ANTIMONIKER = 3,
    MKSYS_ITEMMONIKER = 4,
    MKSYS_POINTERMONIKER = 5,
    MKSYS_CLASSMONIKER = 7,
};

#define ROTFLAGS_REGISTRATIONKEEPSALIVE 0x1
#define ROTFLAGS_ALLOWANYCLIENT 0x2

struct IMoniker : public IPersistStream {
    virtual HRESULT BindToObject(IBindCtx* pbc, IMoniker* pmkToLeft, REFIID riidResult,
                                 void** ppvResult) = 0;
    virtual HRESULT BindToStorage(IBindCtx* pbc, IMoniker* pmkToLeft, REFIID riid,
                                  void** ppvObj) = 0;
    virtual HRESULT Reduce(IBindCtx* pbc, DWORD dwReduceHowFar, IMoniker** ppmkToLeft,
                           IMoniker** ppmkReduced) = 0;
    virtual HRESULT ComposeWith(IMoniker* pmkRight, BOOL fOnlyIfNotGeneric,
                                IMoniker** ppmkComposite) = 0;
    virtual HRESULT Enum(BOOL fForward, IEnumMoniker** ppenumMoniker) = 0;
    // S_OK when equal, S_FALSE otherwise.
    virtual HRESULT IsEqual(IMoniker* pmkOtherMoniker) = 0;
    virtual HRESULT Hash(DWORD* pdwHash) = 0;
    virtual HRESULT IsRunning(IBindCtx* pbc, IMoniker* pmkToLeft, IMoniker* pmkNewlyRunning) = 0;
    virtual HRESULT GetTimeOfLastChange(IBindCtx* pbc, IMoniker* pmkToLeft,
                                        FILETIME* pFileTime) = 0;
    virtual HRESULT Inverse(IMoniker** ppmk) = 0;
    virtual HRESULT CommonPrefixWith(IMoniker* pmkOther, IMoniker** ppmkPrefix) = 0;
    virtual HRESULT RelativePathTo(IMoniker* pmkOther, IMoniker** ppmkRelPath) = 0;
    // *ppszDisplayName is CoTaskMemAlloc'ed for the caller to free.
    virtual HRESULT GetDisplayName(IBindCtx* pbc, IMoniker* pmkToLeft,
                                   LPOLESTR* ppszDisplayName) = 0;
    virtual HRESULT ParseDisplayName(IBindCtx* pbc, IMoniker* pmkToLeft, LPOLESTR pszDisplayName,
                                     ULONG* pchEaten, IMoniker** ppmkOut) = 0;
    virtual HRESULT IsSystemMoniker(DWORD* pdwMksys) = 0;

  protected:
    ~IMoniker() = default;
};
typedef IMoniker* LPMONIKER;
NV_COM_INTERFACE_ID(IMoniker, IID_IMoniker);

struct IRunningObjectTable : public IUnknown {
    virtual HRESULT Register(DWORD grfFlags, IUnknown* punkObject, IMoniker* pmkObjectName,
                             DWORD* pdwRegister) = 0;
    virtual HRESULT Revoke(DWORD dwRegister) = 0;
    virtual HRESULT IsRunning(IMoniker* pmkObjectName) = 0;
    virtual HRESULT GetObject(IMoniker* pmkObjectName, IUnknown** ppunkObject) = 0;
    virtual HRESULT NoteChangeTime(DWORD dwRegister, FILETIME* pfiletime) = 0;
    virtual HRESULT GetTimeOfLastChange(IMoniker* pmkObjectName, FILETIME* pfiletime) = 0;
    virtual HRESULT EnumRunning(IEnumMoniker** ppenumMoniker) = 0;

  protected:
    ~IRunningObjectTable() = default;
};
typedef IRunningObjectTable* LPRUNNINGOBJECTTABLE;
NV_COM_INTERFACE_ID(IRunningObjectTable, IID_IRunningObjectTable);

extern "C" {

// *ppmk receives the caller's reference to a file moniker for the path as given (no
// normalisation). Its class is CLSID_FileMoniker; IsEqual and Hash ignore case, as Windows
// file names do. Saved layout (little-endian): a 32-bit count of UTF-16 units, then the units,
// no terminator. BindToObject finds the object in the running object table (MK_E_UNAVAILABLE when
// it is not running; files are never opened); BindToStorage, ComposeWith, Inverse,
// CommonPrefixWith, RelativePathTo and ParseDisplayName give E_NOTIMPL.
NV_PLATFORM_API HRESULT CreateFileMoniker(LPCOLESTR lpszPathName, LPMONIKER* ppmk) noexcept;

// *pprot is the process's one running object table (its AddRef/Release do nothing, so
// releasing it is optional). reserved must be 0, else E_UNEXPECTED; the thread must be
// initialised, else CO_E_NOTINITIALIZED. Objects are registered weakly unless
// ROTFLAGS_REGISTRATIONKEEPSALIVE: a weakly registered object must Revoke itself before it
// dies. Monikers are compared by class and case-insensitive display name; registering an
// equal moniker again succeeds with MK_S_MONIKERALREADYREGISTERED and a new cookie.
// Revoke of an unknown cookie gives E_INVALIDARG; GetObject of a moniker that is not
// registered MK_E_UNAVAILABLE; EnumRunning E_NOTIMPL.
NV_PLATFORM_API HRESULT GetRunningObjectTable(DWORD reserved, LPRUNNINGOBJECTTABLE* pprot) noexcept;

}  // extern "C"
