// A small in-process class server for the activation tests: one dual class, Calculator, that
// counts its live objects and reports each load of the library to the test program.
#include <dlfcn.h>

#include <atomic>
#include <new>
#include <string>

#include "platform/com/bstr.h"
#include "platform/com/com_ptr.h"
#include "platform/com/dispatch.h"
#include "platform/com/typeinfo.h"
#include "tests/platform/com/test_server_ids.h"
#include "tests/platform/com/test_type_library.h"

#define NV_TEST_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

std::atomic<long> liveObjects{0};
std::atomic<long> serverLocks{0};

// Tells the test program (which exports the hook) that the library was loaded; static
// initialisers run once per load, so the count survives unloading.
struct LoadReporter {
    LoadReporter() {
        using Hook = void (*)();
        if (auto hook = reinterpret_cast<Hook>(dlsym(RTLD_DEFAULT, "nvTestServerLoaded")))
            hook();
    }
} reporter;

HRESULT typeInfoOf(REFGUID guid, ITypeInfo** out) {
    nv::com::ComPtr<ITypeLib> lib;
    HRESULT hr = nv::com::createTypeLib(nv::test::calculatorLibrary(), lib.put());
    if (FAILED(hr))
        return hr;
    return lib->GetTypeInfoOfGuid(guid, out);
}

class Calculator final : public IDispatch, public IProvideClassInfo {
  public:
    Calculator() { ++liveObjects; }
    ~Calculator() { --liveObjects; }

    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == nv::test::kCalculatorIid)
            *ppv = static_cast<IDispatch*>(this);
        else if (riid == IID_IProvideClassInfo)
            *ppv = static_cast<IProvideClassInfo*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        ULONG n = --refs_;
        if (n == 0)
            delete this;
        return n;
    }

    HRESULT GetTypeInfoCount(UINT* pctinfo) override {
        if (!pctinfo)
            return E_INVALIDARG;
        *pctinfo = 1;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT iTInfo, LCID, ITypeInfo** ppTInfo) override {
        if (!ppTInfo)
            return E_INVALIDARG;
        *ppTInfo = nullptr;
        if (iTInfo != 0)
            return DISP_E_BADINDEX;
        return typeInfoOf(nv::test::kCalculatorIid, ppTInfo);
    }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR* rgszNames, UINT cNames, LCID,
                          DISPID* rgDispId) override {
        nv::com::ComPtr<ITypeInfo> info;
        HRESULT hr = typeInfoOf(nv::test::kCalculatorIid, info.put());
        if (FAILED(hr))
            return hr;
        return DispGetIDsOfNames(info.get(), rgszNames, cNames, rgDispId);
    }
    HRESULT Invoke(DISPID dispIdMember, REFIID, LCID, WORD wFlags, DISPPARAMS* params,
                   VARIANT* result, EXCEPINFO* excep, UINT* argErr) override {
        if (!params)
            return E_INVALIDARG;
        switch (dispIdMember) {
            case nv::test::kDispAdd: {
                if (!(wFlags & DISPATCH_METHOD))
                    return DISP_E_MEMBERNOTFOUND;
                if (params->cArgs != 2)
                    return DISP_E_BADPARAMCOUNT;
                nv::com::Variant left, right;
                HRESULT hr = DispGetParam(params, 0, VT_I4, &left, argErr);
                if (SUCCEEDED(hr))
                    hr = DispGetParam(params, 1, VT_I4, &right, argErr);
                if (FAILED(hr))
                    return hr;
                if (result)
                    *result = nv::com::Variant(LONG{left.lVal + right.lVal}).detach();
                return S_OK;
            }
            case nv::test::kDispName:
                if (wFlags & DISPATCH_PROPERTYPUT) {
                    nv::com::Variant value;
                    HRESULT hr = DispGetParam(params, DISPID_PROPERTYPUT, VT_BSTR, &value, argErr);
                    if (FAILED(hr))
                        return hr;
                    name_.assign(value.bstrVal, SysStringLen(value.bstrVal));
                    return S_OK;
                }
                if (result)
                    *result = nv::com::Variant(std::u16string_view(name_)).detach();
                return S_OK;
            case nv::test::kDispObjectCount:
                if (result)
                    *result = nv::com::Variant(LONG(liveObjects.load())).detach();
                return S_OK;
            case nv::test::kDispFail:
                if (excep) {
                    *excep = EXCEPINFO{};
                    excep->bstrSource = SysAllocString(u"Calculator");
                    excep->bstrDescription = SysAllocString(u"asked to fail");
                    excep->scode = E_FAIL;
                }
                return DISP_E_EXCEPTION;
            default:
                return DISP_E_MEMBERNOTFOUND;
        }
    }

    HRESULT GetClassInfo(ITypeInfo** ppTI) override {
        if (!ppTI)
            return E_POINTER;
        return typeInfoOf(nv::test::kCalculatorClsid, ppTI);
    }

  private:
    std::atomic<ULONG> refs_{1};
    std::u16string name_;
};

// The one class object; it lives as long as the library and does not count as an object.
class Factory final : public IClassFactory {
  public:
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        if (riid != IID_IUnknown && riid != IID_IClassFactory) {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        *ppv = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    HRESULT CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) override {
        if (!ppvObject)
            return E_POINTER;
        *ppvObject = nullptr;
        if (pUnkOuter)
            return CLASS_E_NOAGGREGATION;
        auto* calc = new (std::nothrow) Calculator;
        if (!calc)
            return E_OUTOFMEMORY;
        HRESULT hr = calc->QueryInterface(riid, ppvObject);
        calc->Release();
        return hr;
    }
    HRESULT LockServer(BOOL fLock) override {
        serverLocks += fLock ? 1 : -1;
        return S_OK;
    }
} factory;

}  // namespace

NV_TEST_EXPORT HRESULT DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (rclsid != nv::test::kCalculatorClsid)
        return CLASS_E_CLASSNOTAVAILABLE;
    return factory.QueryInterface(riid, ppv);
}

NV_TEST_EXPORT HRESULT DllCanUnloadNow() {
    return liveObjects == 0 && serverLocks == 0 ? S_OK : S_FALSE;
}
