// IUnknown and IClassFactory, laid out as on Windows (pure virtuals in vtable order).
//
// Interfaces have no virtual destructor, exactly like their Windows counterparts: objects are
// destroyed by their own Release. The destructor is protected and non-virtual so nobody can
// delete through an interface pointer (and -Wnon-virtual-dtor stays quiet).
#pragma once

#include "platform/com/iids.h"
#include "platform/com/types.h"

struct IUnknown {
    virtual HRESULT QueryInterface(REFIID riid, void** ppvObject) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

  protected:
    ~IUnknown() = default;
};
typedef IUnknown* LPUNKNOWN;

struct IClassFactory : public IUnknown {
    // pUnkOuter is the controlling unknown when the new object is aggregated; an aggregated
    // object may only be asked for IID_IUnknown.
    virtual HRESULT CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) = 0;
    virtual HRESULT LockServer(BOOL fLock) = 0;

  protected:
    ~IClassFactory() = default;
};
typedef IClassFactory* LPCLASSFACTORY;

namespace nv::com {

// Maps an interface type to its IID (the stand-in for __uuidof). Specialised next to each
// interface with NV_COM_INTERFACE_ID.
template <class T>
struct InterfaceId;

}  // namespace nv::com

#define NV_COM_INTERFACE_ID(Interface, iid)                 \
    template <>                                             \
    struct nv::com::InterfaceId<Interface> {                \
        static constexpr const IID& value() { return iid; } \
    }

NV_COM_INTERFACE_ID(IUnknown, IID_IUnknown);
NV_COM_INTERFACE_ID(IClassFactory, IID_IClassFactory);

namespace nv::com {

template <class T>
constexpr const IID& uuidOf() {
    return InterfaceId<T>::value();
}

}  // namespace nv::com
