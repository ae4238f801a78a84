// COM initialisation and activation of in-process class servers.
//
// A class is found through HKEY_CLASSES_ROOT\CLSID\{clsid}\InprocServer32, whose default value
// names a shared library (REG_EXPAND_SZ values have %VARIABLE%s expanded). Each library is
// loaded once per path (dlopen, RTLD_NOW) and kept until CoFreeUnusedLibraries finds that its
// DllCanUnloadNow returns S_OK. A server library exports, with C linkage:
//   HRESULT DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv);   // required
//   HRESULT DllCanUnloadNow();                                             // optional
// (and, for self-registration and type information, DllRegisterServer, DllUnregisterServer
// and DllGetTypeLib, which this runtime does not call itself except DllGetTypeLib).
//
// There are no apartments and no marshaling: every object is called directly on the caller's
// thread. The initialisation calls only keep the per-thread bookkeeping Windows programs rely
// on; unlike Windows there is no implicit multithreaded apartment, so a thread that never
// called CoInitializeEx gets CO_E_NOTINITIALIZED from the activation and OLE calls.
#pragma once

#include "platform/com/types.h"
#include "platform/com/unknown.h"
#include "platform/export.h"

enum CLSCTX {
    CLSCTX_INPROC_SERVER = 0x1,
    CLSCTX_INPROC_HANDLER = 0x2,
    CLSCTX_LOCAL_SERVER = 0x4,
    CLSCTX_INPROC_SERVER16 = 0x8,
    CLSCTX_REMOTE_SERVER = 0x10,
};
#define CLSCTX_INPROC (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER)
#define CLSCTX_SERVER (CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER)
#define CLSCTX_ALL \
    (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER)

enum COINIT {
    COINIT_MULTITHREADED = 0x0,
    COINIT_APARTMENTTHREADED = 0x2,
    COINIT_DISABLE_OLE1DDE = 0x4,
    COINIT_SPEED_OVER_MEMORY = 0x8,
};

// Remote activation is not supported; the argument is accepted and ignored.
struct COSERVERINFO;

typedef HRESULT (*LPFNGETCLASSOBJECT)(REFCLSID, REFIID, LPVOID*);
typedef HRESULT (*LPFNCANUNLOADNOW)();

extern "C" {

// Per thread: S_OK the first time, S_FALSE for each further call with the same model (each
// must be matched by CoUninitialize), RPC_E_CHANGED_MODE for the other model. A non-null
// pvReserved or unknown flags give E_INVALIDARG.
NV_PLATFORM_API HRESULT CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit) noexcept;
// CoInitializeEx(pvReserved, COINIT_APARTMENTTHREADED).
NV_PLATFORM_API HRESULT CoInitialize(LPVOID pvReserved) noexcept;
// Undoes one successful CoInitialize(Ex); ignored on a thread that is not initialised.
NV_PLATFORM_API void CoUninitialize() noexcept;
// CoInitializeEx(COINIT_APARTMENTTHREADED) plus the OLE count; returns what that gave. When a
// thread's last OleUninitialize runs while the clipboard holds an object that thread put
// there, the clipboard is flushed first, as on Windows.
NV_PLATFORM_API HRESULT OleInitialize(LPVOID pvReserved) noexcept;
NV_PLATFORM_API void OleUninitialize() noexcept;

// CO_E_NOTINITIALIZED on an uninitialised thread; REGDB_E_CLASSNOTREG when the class has no
// InprocServer32 entry or dwClsContext lacks CLSCTX_INPROC_SERVER; REGDB_E_READREGDB when the
// registry cannot be read; CO_E_DLLNOTFOUND when the library does not load; CO_E_ERRORINDLL
// when it lacks DllGetClassObject; otherwise whatever DllGetClassObject returns.
NV_PLATFORM_API HRESULT CoGetClassObject(REFCLSID rclsid, DWORD dwClsContext,
                                         COSERVERINFO* pServerInfo, REFIID riid,
                                         LPVOID* ppv) noexcept;
// CoGetClassObject(IID_IClassFactory) then IClassFactory::CreateInstance. In both, *ppv
// receives a reference the caller releases (null on failure).
NV_PLATFORM_API HRESULT CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext,
                                         REFIID riid, LPVOID* ppv) noexcept;
// Reads HKEY_CLASSES_ROOT\<ProgID>\CLSID (following <ProgID>\CurVer once when a
// version-independent ProgID has no CLSID key). CO_E_CLASSSTRING when unknown or malformed.
NV_PLATFORM_API HRESULT CLSIDFromProgID(LPCOLESTR lpszProgID, LPCLSID lpclsid) noexcept;
// Reads CLSID\{clsid}\ProgID; *lplpszProgID is CoTaskMemAlloc'ed for the caller to free.
// REGDB_E_CLASSNOTREG when there is none.
NV_PLATFORM_API HRESULT ProgIDFromCLSID(REFCLSID clsid, LPOLESTR* lplpszProgID) noexcept;
// Unloads every loaded server library whose DllCanUnloadNow returns S_OK and that is not in
// the middle of a DllGetClassObject call. Libraries without DllCanUnloadNow stay loaded.
// Unloading is immediate (Windows may delay it), so the caller must know that no other thread
// is still returning from a call into an idle library, e.g. from its last object's Release.
NV_PLATFORM_API void CoFreeUnusedLibraries() noexcept;
// Same; the delay (Windows keeps libraries ten minutes by default) is not emulated.
NV_PLATFORM_API void CoFreeUnusedLibrariesEx(DWORD dwUnloadDelay, DWORD dwReserved) noexcept;

}  // extern "C"
