// Activation through the registry: CoCreateInstance by CLSID and ProgID of the test server,
// the failures on the way, loading once, unloading, and the per-thread initialisation rules.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/com/activation.h"
#include "platform/com/bstr.h"
#include "platform/com/com_ptr.h"
#include "platform/com/guid.h"
#include "platform/com/task_memory.h"
#include "platform/com/typeinfo.h"
#include "platform/registry/registry.h"
#include "platform/text/unicode.h"
#include "tests/platform/com/test_objects.h"
#include "tests/platform/com/test_server_ids.h"
#include "tests/support/registry_sandbox.h"

namespace {
std::atomic<int> serverLoads{0};
}

// Called by the test server's static initialiser each time the library is loaded.
extern "C" __attribute__((visibility("default"))) void nvTestServerLoaded() {
    ++serverLoads;
}

namespace {

using nv::com::ComPtr;
using nv::registry::Hive;
using nv::registry::Key;
using nv::registry::Status;
using nv::test::ComInit;
using nv::test::kCalculatorClsid;

constexpr char16_t kServerPath[] = u"" NV_TEST_SERVER_PATH;
constexpr CLSID kUnregistered = {
    0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55}};
constexpr CLSID kMissingLibrary = {
    0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x56}};
constexpr CLSID kNoFactory = {
    0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x57}};

void registerServer(const CLSID& clsid, std::u16string_view path) {
    Key key;
    std::u16string base = u"CLSID\\" + nv::com::toString(clsid);
    ASSERT_EQ(Key::create(Hive::ClassesRoot, base + u"\\InprocServer32", key), Status::Ok);
    ASSERT_EQ(key.setString(u"", path), Status::Ok);
    ASSERT_EQ(key.setString(u"ThreadingModel", u"Both"), Status::Ok);
}

bool serverLoaded() {
    void* h = dlopen(NV_TEST_SERVER_PATH, RTLD_NOW | RTLD_NOLOAD);
    if (h)
        dlclose(h);
    return h != nullptr;
}

DISPID dispIdOf(IDispatch* d, const char16_t* name) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    EXPECT_EQ(d->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK)
        << nv::text::utf16ToUtf8(name);
    return id;
}

LONG add(IDispatch* d, LONG a, LONG b) {
    nv::com::Variant args[2] = {nv::com::Variant(b), nv::com::Variant(a)};  // last first
    DISPPARAMS params{args, nullptr, 2, 0};
    nv::com::Variant result;
    EXPECT_EQ(d->Invoke(dispIdOf(d, u"aDD"), IID_NULL, 0, DISPATCH_METHOD, &params, &result,
                        nullptr, nullptr),
              S_OK);
    EXPECT_EQ(result.vt, VT_I4);
    return result.lVal;
}

ComPtr<IDispatch> createCalculator() {
    ComPtr<IDispatch> d;
    EXPECT_EQ(CoCreateInstance(kCalculatorClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               d.putVoid()),
              S_OK);
    return d;
}

class Activation : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(com.result(), S_OK);
        registerServer(kCalculatorClsid, kServerPath);
        Key key;
        std::u16string clsid = nv::com::toString(kCalculatorClsid);
        ASSERT_EQ(Key::create(Hive::ClassesRoot,
                              std::u16string(nv::test::kCalculatorProgId) + u"\\CLSID", key),
                  Status::Ok);
        key.setString(u"", clsid);
        ASSERT_EQ(
            Key::create(Hive::ClassesRoot,
                        std::u16string(nv::test::kCalculatorVersionIndependentProgId) + u"\\CurVer",
                        key),
            Status::Ok);
        key.setString(u"", nv::test::kCalculatorProgId);
        ASSERT_EQ(Key::create(Hive::ClassesRoot, u"CLSID\\" + clsid + u"\\ProgID", key),
                  Status::Ok);
        key.setString(u"", nv::test::kCalculatorProgId);
    }
    void TearDown() override { CoFreeUnusedLibraries(); }

    nv::test::RegistrySandbox sandbox;
    ComInit com;
};

TEST_F(Activation, CreatesByClsidAndCallsByName) {
    auto calc = createCalculator();
    ASSERT_TRUE(calc);
    EXPECT_EQ(add(calc.get(), 2, 3), 5);

    nv::com::Variant name(u"adder");
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS put{&name, &putId, 1, 1};
    ASSERT_EQ(calc->Invoke(dispIdOf(calc.get(), u"Name"), IID_NULL, 0, DISPATCH_PROPERTYPUT, &put,
                           nullptr, nullptr, nullptr),
              S_OK);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    nv::com::Variant got;
    ASSERT_EQ(calc->Invoke(dispIdOf(calc.get(), u"name"), IID_NULL, 0, DISPATCH_PROPERTYGET, &none,
                           &got, nullptr, nullptr),
              S_OK);
    EXPECT_EQ(std::u16string(got.bstrVal), u"adder");
}

TEST_F(Activation, CreatesThroughProgIds) {
    CLSID clsid;
    ASSERT_EQ(CLSIDFromProgID(nv::test::kCalculatorProgId, &clsid), S_OK);
    EXPECT_EQ(clsid, kCalculatorClsid);
    CLSID viaCurVer;
    ASSERT_EQ(CLSIDFromProgID(nv::test::kCalculatorVersionIndependentProgId, &viaCurVer), S_OK);
    EXPECT_EQ(viaCurVer, kCalculatorClsid);
    CLSID viaString;
    ASSERT_EQ(CLSIDFromString(u"sondar.testcalculator.1", &viaString), S_OK);
    EXPECT_EQ(viaString, kCalculatorClsid);
    ComPtr<IUnknown> obj;
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IUnknown, obj.putVoid()), S_OK);

    nv::com::TaskMemPtr<OLECHAR> progId;
    ASSERT_EQ(ProgIDFromCLSID(kCalculatorClsid, progId.out()), S_OK);
    EXPECT_EQ(std::u16string(progId.get()), nv::test::kCalculatorProgId);
    EXPECT_EQ(ProgIDFromCLSID(kUnregistered, progId.out()), REGDB_E_CLASSNOTREG);
}

TEST_F(Activation, UnknownProgIdIsAClassStringError) {
    CLSID clsid;
    EXPECT_EQ(CLSIDFromProgID(u"Nobody.Here", &clsid), CO_E_CLASSSTRING);
    EXPECT_EQ(CLSIDFromProgID(u"", &clsid), CO_E_CLASSSTRING);
    Key key;
    Key::create(Hive::ClassesRoot, u"Broken.ProgId\\CLSID", key);
    key.setString(u"", u"not-a-guid");
    EXPECT_EQ(CLSIDFromProgID(u"Broken.ProgId", &clsid), CO_E_CLASSSTRING);
    EXPECT_EQ(CLSIDFromProgID(nullptr, &clsid), E_INVALIDARG);
}

TEST_F(Activation, UnregisteredClassIsReported) {
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(CoCreateInstance(kUnregistered, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &p),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(p, nullptr);
    // Registered, but only an out-of-process context is asked for.
    EXPECT_EQ(CoCreateInstance(kCalculatorClsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown, &p),
              REGDB_E_CLASSNOTREG);
    // The class exists, but the library does not serve it.
    Key key;
    std::u16string other = u"CLSID\\" + nv::com::toString(kUnregistered) + u"\\InprocServer32";
    Key::create(Hive::ClassesRoot, other, key);
    key.setString(u"", kServerPath);
    EXPECT_EQ(CoCreateInstance(kUnregistered, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &p),
              CLASS_E_CLASSNOTAVAILABLE);
}

TEST_F(Activation, MissingLibraryAndMissingEntryPoint) {
    registerServer(kMissingLibrary, u"/nonexistent/libnothing.so");
    registerServer(kNoFactory, u"" NV_TEST_TYPELIB_PATH);  // has DllGetTypeLib only
    void* p = nullptr;
    EXPECT_EQ(CoCreateInstance(kMissingLibrary, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &p),
              CO_E_DLLNOTFOUND);
    EXPECT_EQ(CoCreateInstance(kNoFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &p),
              CO_E_ERRORINDLL);
    EXPECT_EQ(CoGetClassObject(kNoFactory, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, &p),
              CO_E_ERRORINDLL);
}

TEST_F(Activation, ExpandableServerPathsUseTheEnvironment) {
    setenv("NV_COM_TEST_SERVER", NV_TEST_SERVER_PATH, 1);
    Key key;
    std::u16string path = u"CLSID\\" + nv::com::toString(kCalculatorClsid) + u"\\InprocServer32";
    ASSERT_EQ(Key::open(Hive::ClassesRoot, path, nv::registry::Access::ReadWrite, key), Status::Ok);
    ASSERT_EQ(key.setExpandString(u"", u"%NV_COM_TEST_SERVER%"), Status::Ok);
    EXPECT_TRUE(createCalculator());
    unsetenv("NV_COM_TEST_SERVER");
}

TEST_F(Activation, LibraryIsLoadedOncePerPath) {
    auto first = createCalculator();
    int loads = serverLoads;
    EXPECT_GE(loads, 1);
    std::vector<ComPtr<IDispatch>> more;
    for (int i = 0; i < 5; ++i)
        more.push_back(createCalculator());
    EXPECT_EQ(serverLoads, loads);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    nv::com::Variant count;
    first->Invoke(nv::test::kDispObjectCount, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &count,
                  nullptr, nullptr);
    EXPECT_EQ(count.lVal, 6);
}

TEST_F(Activation, FreeUnusedLibrariesUnloadsOnlyIdleServers) {
    auto calc = createCalculator();
    ASSERT_TRUE(serverLoaded());
    CoFreeUnusedLibraries();
    EXPECT_TRUE(serverLoaded());  // an object is alive
    EXPECT_EQ(add(calc.get(), 1, 1), 2);

    // A server lock also keeps it.
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(CoGetClassObject(kCalculatorClsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                               factory.putVoid()),
              S_OK);
    factory->LockServer(TRUE);
    calc.reset();
    CoFreeUnusedLibraries();
    EXPECT_TRUE(serverLoaded());
    factory->LockServer(FALSE);
    factory.reset();

    CoFreeUnusedLibraries();
    EXPECT_FALSE(serverLoaded());
    int loads = serverLoads;
    calc = createCalculator();  // loads it again
    EXPECT_EQ(serverLoads, loads + 1);
    EXPECT_EQ(add(calc.get(), 20, 22), 42);
}

TEST_F(Activation, AggregationIsRefusedByTheServer) {
    auto* outer = new nv::test::CountedObject;
    void* p = nullptr;
    EXPECT_EQ(CoCreateInstance(kCalculatorClsid, outer, CLSCTX_INPROC_SERVER, IID_IUnknown, &p),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(outer->refs(), 1u);
    outer->Release();
}

TEST_F(Activation, ExceptionsAndClassInfoComeThrough) {
    auto calc = createCalculator();
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXCEPINFO info{};
    EXPECT_EQ(calc->Invoke(dispIdOf(calc.get(), u"Fail"), IID_NULL, 0, DISPATCH_METHOD, &none,
                           nullptr, &info, nullptr),
              DISP_E_EXCEPTION);
    EXPECT_EQ(std::u16string(info.bstrDescription), u"asked to fail");
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);

    LPOLESTR unknown[] = {const_cast<LPOLESTR>(u"Multiply")};
    DISPID id = 0;
    EXPECT_EQ(calc->GetIDsOfNames(IID_NULL, unknown, 1, 0, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, DISPID_UNKNOWN);

    ComPtr<IProvideClassInfo> provider;
    ASSERT_EQ(calc.as(provider), S_OK);
    ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(provider->GetClassInfo(coclass.put()), S_OK);
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(coclass->GetTypeAttr(&attr), S_OK);
    EXPECT_EQ(attr->typekind, TKIND_COCLASS);
    EXPECT_EQ(attr->guid, kCalculatorClsid);
    coclass->ReleaseTypeAttr(attr);
    // The coclass's type info can create the class too.
    ComPtr<IDispatch> made;
    EXPECT_EQ(coclass->CreateInstance(nullptr, IID_IDispatch, made.putVoid()), S_OK);
    EXPECT_EQ(add(made.get(), 4, 4), 8);
}

TEST_F(Activation, ConcurrentCreationFromManyThreads) {
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&failures] {
            ComInit threadCom;
            // Objects stay alive while this thread frees libraries: unloading a library while
            // another thread may still run its Release is the caller's race to avoid.
            std::vector<ComPtr<IDispatch>> held;
            for (int i = 0; i < 25; ++i) {
                ComPtr<IDispatch> d;
                if (FAILED(CoCreateInstance(kCalculatorClsid, nullptr, CLSCTX_INPROC_SERVER,
                                            IID_IDispatch, d.putVoid())))
                    ++failures;
                held.push_back(d);
                if (i % 10 == 0)
                    CoFreeUnusedLibraries();
            }
        });
    }
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(failures, 0);
}

TEST(ComInitialisation, CountsPerThreadAndRefusesTheOtherModel) {
    std::thread([] {
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
        CoUninitialize();
        CoUninitialize();  // balanced: the thread is uninitialised now
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        CoUninitialize();
        CoUninitialize();  // one too many is ignored
        int reserved = 0;
        EXPECT_EQ(CoInitializeEx(&reserved, COINIT_MULTITHREADED), E_INVALIDARG);
        EXPECT_EQ(CoInitializeEx(nullptr, 0x100), E_INVALIDARG);
    }).join();
}

TEST(ComInitialisation, ActivationNeedsAnInitialisedThread) {
    nv::test::RegistrySandbox sandbox;
    registerServer(kCalculatorClsid, kServerPath);
    HRESULT before = S_OK, after = S_OK;
    std::thread([&] {
        void* p = nullptr;
        before =
            CoCreateInstance(kCalculatorClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &p);
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        CoUninitialize();
        after = CoGetClassObject(kCalculatorClsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                 &p);
    }).join();
    EXPECT_EQ(before, CO_E_NOTINITIALIZED);
    EXPECT_EQ(after, CO_E_NOTINITIALIZED);
}

}  // namespace
