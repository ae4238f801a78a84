// The class objects of the server: one static IClassFactory per class. References to them
// count as server locks, so the library stays loaded while a client holds one.
#pragma once

#include "platform/com/unknown.h"

namespace wscom {

// Creates an object: aggregated when outer is not null (riid is then IID_IUnknown), and hands
// out interface riid of it through *ppv.
using ObjectCreator = HRESULT (*)(IUnknown* outer, REFIID riid, void** ppv);

class ClassFactory final : public IClassFactory {
  public:
    explicit constexpr ClassFactory(ObjectCreator create) : create_(create) {}

    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) override;
    HRESULT LockServer(BOOL fLock) override;

  private:
    ObjectCreator create_;
};

// The class object for clsid (not AddRef'd), or null when the server has no such class.
ClassFactory* classFactoryFor(REFCLSID clsid);

}  // namespace wscom
