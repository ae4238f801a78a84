#include "comserver/class_factory.h"

#include "comserver/guarded.h"
#include "comserver/io_message.h"
#include "comserver/nvws_control.h"
#include "comserver/server_module.h"
#include "comserver/wscom_ids.h"
#include "platform/com/iids.h"

namespace wscom {

namespace {

ClassFactory gIOMessageFactory(&createIOMessage);
ClassFactory gControlFactory(&createNVWSControl);

}  // namespace

HRESULT ClassFactory::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv)
        return E_POINTER;
    if (riid != IID_IUnknown && riid != IID_IClassFactory) {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    *ppv = static_cast<IClassFactory*>(this);
    return S_OK;
}

// The objects are static: their count is the server's lock count.
ULONG ClassFactory::AddRef() {
    lockServer(true);
    return 2;
}

ULONG ClassFactory::Release() {
    lockServer(false);
    return 1;
}

HRESULT ClassFactory::CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) {
    if (!ppvObject)
        return E_POINTER;
    *ppvObject = nullptr;
    if (pUnkOuter && riid != IID_IUnknown)
        return CLASS_E_NOAGGREGATION;
    return guarded([&] { return create_(pUnkOuter, riid, ppvObject); });
}

HRESULT ClassFactory::LockServer(BOOL fLock) {
    lockServer(fLock != FALSE);
    return S_OK;
}

ClassFactory* classFactoryFor(REFCLSID clsid) {
    if (clsid == kClsidIOMessage)
        return &gIOMessageFactory;
    if (clsid == kClsidNVWSControl)
        return &gControlFactory;
    return nullptr;
}

}  // namespace wscom
