#include "comserver/object_root.h"

#include "comserver/server_module.h"
#include "platform/com/iids.h"

namespace wscom {

ObjectRoot::ObjectRoot(IUnknown* outer) : inner_(*this), outer_(outer ? outer : &inner_) {
    objectCreated();
}

ObjectRoot::~ObjectRoot() {
    objectDestroyed();
}

HRESULT ObjectRoot::handOut(ObjectRoot* object, bool aggregated, REFIID riid, void** ppv) {
    if (aggregated) {
        // The outer object takes over the creator's reference.
        *ppv = object->nonDelegatingUnknown();
        return S_OK;
    }
    HRESULT hr = object->inner_.QueryInterface(riid, ppv);
    object->inner_.Release();
    return hr;
}

HRESULT ObjectRoot::Inner::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    IUnknown* found = riid == IID_IUnknown ? this : owner_.findInterface(riid);
    if (!found)
        return E_NOINTERFACE;
    // An interface other than this one counts through the controlling unknown.
    found->AddRef();
    *ppv = found;
    return S_OK;
}

ULONG ObjectRoot::Inner::AddRef() {
    return owner_.refs_.fetch_add(1, std::memory_order_relaxed) + 1;
}

ULONG ObjectRoot::Inner::Release() {
    ULONG left = owner_.refs_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0)
        delete &owner_;
    return left;
}

}  // namespace wscom
