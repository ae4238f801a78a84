// The entry points the COM runtime and registration tools look up by name. What a Windows
// server does in DllMain happens here in the library's static initialisation and teardown.
#include "comserver/class_factory.h"
#include "comserver/guarded.h"
#include "comserver/registration.h"
#include "comserver/server_module.h"
#include "comserver/type_library.h"
#include "platform/export.h"

extern "C" {

NV_PLATFORM_API HRESULT DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) noexcept {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    wscom::ClassFactory* factory = wscom::classFactoryFor(rclsid);
    if (!factory)
        return CLASS_E_CLASSNOTAVAILABLE;
    return factory->QueryInterface(riid, ppv);
}

NV_PLATFORM_API HRESULT DllCanUnloadNow() noexcept {
    return wscom::canUnloadNow() ? S_OK : S_FALSE;
}

NV_PLATFORM_API HRESULT DllRegisterServer() noexcept {
    return wscom::registerServer(wscom::RegistrationScope::Full);
}

NV_PLATFORM_API HRESULT DllUnregisterServer() noexcept {
    return wscom::unregisterServer();
}

// The type library lives in the server itself; *pptlib is the caller's reference.
NV_PLATFORM_API HRESULT DllGetTypeLib(ITypeLib** pptlib) noexcept {
    return wscom::typeLibrary(pptlib);
}

}  // extern "C"
