// Type information built from descriptions, loaded from a library, registered under
// HKEY_CLASSES_ROOT\TypeLib and loaded back through the registry.
#include <gtest/gtest.h>

#include "platform/com/bstr.h"
#include "platform/com/com_ptr.h"
#include "platform/com/guid.h"
#include "platform/com/typeinfo.h"
#include "platform/com/typelib_builder.h"
#include "platform/registry/registry.h"
#include "tests/platform/com/test_server_ids.h"
#include "tests/platform/com/test_type_library.h"
#include "tests/support/registry_sandbox.h"

namespace {

using nv::com::Bstr;
using nv::com::ComPtr;
using nv::registry::Access;
using nv::registry::Hive;
using nv::registry::Key;
using nv::registry::Status;

constexpr char16_t kTypeLibPath[] = u"" NV_TEST_TYPELIB_PATH;

ComPtr<ITypeLib> built() {
    ComPtr<ITypeLib> lib;
    EXPECT_EQ(nv::com::createTypeLib(nv::test::calculatorLibrary(), lib.put()), S_OK);
    return lib;
}

ComPtr<ITypeInfo> typeOf(ITypeLib* lib, const GUID& guid) {
    ComPtr<ITypeInfo> info;
    EXPECT_EQ(lib->GetTypeInfoOfGuid(guid, info.put()), S_OK);
    return info;
}

std::u16string defaultValue(std::u16string_view path) {
    Key key;
    std::u16string value;
    if (Key::open(Hive::ClassesRoot, path, Access::Read, key) != Status::Ok)
        return u"<no key>";
    if (key.getString(u"", value) != Status::Ok)
        return u"<no value>";
    return value;
}

TEST(TypeLibBuilder, LibraryAttributesAndDocumentation) {
    auto lib = built();
    EXPECT_EQ(lib->GetTypeInfoCount(), 3u);
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(lib->GetLibAttr(&attr), S_OK);
    EXPECT_EQ(attr->guid, nv::test::kCalculatorLibid);
    EXPECT_EQ(attr->wMajorVerNum, 1);
    EXPECT_EQ(attr->wMinorVerNum, 0);
    EXPECT_EQ(attr->syskind, SYS_WIN64);
    lib->ReleaseTLibAttr(attr);
    Bstr name, doc, file;
    DWORD context = 99;
    ASSERT_EQ(lib->GetDocumentation(-1, name.out(), doc.out(), &context, file.out()), S_OK);
    EXPECT_EQ(name.view(), u"SondarTestLib");
    EXPECT_EQ(doc.view(), u"Sondar test type library");
    EXPECT_EQ(file.view(), u"calc.hlp");
    EXPECT_EQ(context, 0u);
    ASSERT_EQ(lib->GetDocumentation(2, name.out(), nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(name.view(), u"Calculator");
    EXPECT_EQ(lib->GetDocumentation(3, name.out(), nullptr, nullptr, nullptr),
              TYPE_E_ELEMENTNOTFOUND);
    TYPEKIND kind;
    EXPECT_EQ(lib->GetTypeInfoType(1, &kind), S_OK);
    EXPECT_EQ(kind, TKIND_INTERFACE);
    ComPtr<ITypeInfo> none;
    EXPECT_EQ(lib->GetTypeInfoOfGuid(IID_IUnknown, none.put()), TYPE_E_ELEMENTNOTFOUND);
}

TEST(TypeLibBuilder, TypeAttributesDescribeTheInterface) {
    auto lib = built();
    auto info = typeOf(lib.get(), nv::test::kCalculatorIid);
    TYPEATTR* a = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&a), S_OK);
    EXPECT_EQ(a->guid, nv::test::kCalculatorIid);
    EXPECT_EQ(a->typekind, TKIND_DISPATCH);
    EXPECT_EQ(a->cFuncs, 5);
    EXPECT_EQ(a->cImplTypes, 0);
    EXPECT_EQ(a->cbSizeVft, 7 * sizeof(void*));
    EXPECT_EQ(a->wTypeFlags, TYPEFLAG_FDUAL | TYPEFLAG_FDISPATCHABLE);
    EXPECT_EQ(a->wMajorVerNum, 1);
    info->ReleaseTypeAttr(a);
}

TEST(TypeLibBuilder, FunctionDescriptionsCarryParameters) {
    auto info = typeOf(built().get(), nv::test::kCalculatorIid);
    FUNCDESC* f = nullptr;
    ASSERT_EQ(info->GetFuncDesc(0, &f), S_OK);
    EXPECT_EQ(f->memid, nv::test::kDispAdd);
    EXPECT_EQ(f->invkind, INVOKE_FUNC);
    EXPECT_EQ(f->funckind, FUNC_DISPATCH);
    ASSERT_EQ(f->cParams, 2);
    EXPECT_EQ(f->lprgelemdescParam[1].tdesc.vt, VT_I4);
    EXPECT_EQ(f->lprgelemdescParam[1].paramdesc.wParamFlags, PARAMFLAG_FIN);
    EXPECT_EQ(f->elemdescFunc.tdesc.vt, VT_I4);
    info->ReleaseFuncDesc(f);
    ASSERT_EQ(info->GetFuncDesc(4, &f), S_OK);
    EXPECT_EQ(f->cParamsOpt, 1);
    info->ReleaseFuncDesc(f);
    EXPECT_EQ(info->GetFuncDesc(5, &f), TYPE_E_ELEMENTNOTFOUND);
    EXPECT_EQ(f, nullptr);

    // A vtable interface places its methods after IUnknown's.
    auto events = typeOf(built().get(), nv::test::kEventsIid);
    ASSERT_EQ(events->GetFuncDesc(0, &f), S_OK);
    EXPECT_EQ(f->funckind, FUNC_PUREVIRTUAL);
    EXPECT_EQ(f->oVft, static_cast<SHORT>(3 * sizeof(void*)));
    events->ReleaseFuncDesc(f);
}

TEST(TypeLibBuilder, NamesAndIdsAreFoundIgnoringCase) {
    auto info = typeOf(built().get(), nv::test::kCalculatorIid);
    LPOLESTR names[] = {const_cast<LPOLESTR>(u"ADD"), const_cast<LPOLESTR>(u"Right"),
                        const_cast<LPOLESTR>(u"left")};
    MEMBERID ids[3];
    ASSERT_EQ(info->GetIDsOfNames(names, 3, ids), S_OK);
    EXPECT_EQ(ids[0], nv::test::kDispAdd);
    EXPECT_EQ(ids[1], 1);
    EXPECT_EQ(ids[2], 0);
    LPOLESTR bad[] = {const_cast<LPOLESTR>(u"add"), const_cast<LPOLESTR>(u"middle")};
    EXPECT_EQ(info->GetIDsOfNames(bad, 2, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], nv::test::kDispAdd);
    EXPECT_EQ(ids[1], MEMBERID_NIL);
    LPOLESTR missing[] = {const_cast<LPOLESTR>(u"subtract")};
    EXPECT_EQ(info->GetIDsOfNames(missing, 1, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], MEMBERID_NIL);

    BSTR got[3] = {};
    UINT count = 0;
    ASSERT_EQ(info->GetNames(nv::test::kDispAdd, got, 3, &count), S_OK);
    ASSERT_EQ(count, 3u);
    EXPECT_EQ(std::u16string(got[0]), u"Add");
    EXPECT_EQ(std::u16string(got[2]), u"right");
    for (BSTR b : got)
        SysFreeString(b);
    ASSERT_EQ(info->GetNames(nv::test::kDispAdd, got, 1, &count), S_OK);
    EXPECT_EQ(count, 1u);
    SysFreeString(got[0]);
    EXPECT_EQ(info->GetNames(999, got, 3, &count), TYPE_E_ELEMENTNOTFOUND);

    Bstr name, doc;
    ASSERT_EQ(info->GetDocumentation(nv::test::kDispAdd, name.out(), doc.out(), nullptr, nullptr),
              S_OK);
    EXPECT_EQ(doc.view(), u"Sum of two numbers");
    ASSERT_EQ(
        info->GetDocumentation(nv::test::kDispObjectCount, nullptr, doc.out(), nullptr, nullptr),
        S_OK);
    EXPECT_FALSE(doc);  // no help string
}

TEST(TypeLibBuilder, CoclassListsItsInterfacesDefaultFirst) {
    auto lib = built();
    auto coclass = typeOf(lib.get(), nv::test::kCalculatorClsid);
    TYPEATTR* a = nullptr;
    coclass->GetTypeAttr(&a);
    EXPECT_EQ(a->cImplTypes, 2);
    EXPECT_EQ(a->cFuncs, 0);
    coclass->ReleaseTypeAttr(a);
    INT flags = 0;
    EXPECT_EQ(coclass->GetImplTypeFlags(0, &flags), S_OK);
    EXPECT_EQ(flags, IMPLTYPEFLAG_FDEFAULT);
    EXPECT_EQ(coclass->GetImplTypeFlags(1, &flags), S_OK);
    EXPECT_EQ(flags, 0);
    HREFTYPE ref = 0;
    ASSERT_EQ(coclass->GetRefTypeOfImplType(0, &ref), S_OK);
    ComPtr<ITypeInfo> def;
    ASSERT_EQ(coclass->GetRefTypeInfo(ref, def.put()), S_OK);
    Bstr name;
    def->GetDocumentation(MEMBERID_NIL, name.out(), nullptr, nullptr, nullptr);
    EXPECT_EQ(name.view(), u"ICalculator");
    EXPECT_EQ(coclass->GetRefTypeOfImplType(2, &ref), TYPE_E_ELEMENTNOTFOUND);
    EXPECT_EQ(coclass->GetRefTypeInfo(12345, def.put()), TYPE_E_ELEMENTNOTFOUND);
    auto iface = typeOf(lib.get(), nv::test::kCalculatorIid);
    void* p = nullptr;
    EXPECT_EQ(iface->CreateInstance(nullptr, IID_IUnknown, &p), TYPE_E_WRONGTYPEKIND);
}

TEST(TypeLibBuilder, TypeInfosKeepTheirLibraryAlive) {
    ComPtr<ITypeInfo> info;
    {
        auto lib = built();
        info = typeOf(lib.get(), nv::test::kEventsIid);
    }
    ComPtr<ITypeLib> containing;
    UINT index = 99;
    ASSERT_EQ(info->GetContainingTypeLib(containing.put(), &index), S_OK);
    EXPECT_EQ(index, 1u);
    EXPECT_EQ(containing->GetTypeInfoCount(), 3u);
}

TEST(TypeLibBuilder, NamesCanBeLookedUpInTheLibrary) {
    auto lib = built();
    OLECHAR buf[] = u"objectcount";
    BOOL found = FALSE;
    ASSERT_EQ(lib->IsName(buf, 0, &found), S_OK);
    EXPECT_TRUE(found);
    EXPECT_EQ(std::u16string(buf), u"ObjectCount");  // stored case written back
    OLECHAR nope[] = u"Nothing";
    lib->IsName(nope, 0, &found);
    EXPECT_FALSE(found);

    OLECHAR name[] = u"name";
    ITypeInfo* infos[4] = {};
    MEMBERID ids[4];
    USHORT count = 4;
    ASSERT_EQ(lib->FindName(name, 0, infos, ids, &count), S_OK);
    EXPECT_EQ(count, 2u);  // the property's get and put
    EXPECT_EQ(ids[0], nv::test::kDispName);
    for (USHORT i = 0; i < count; ++i)
        infos[i]->Release();
}

TEST(TypeLibBuilder, InvalidDescriptionsAreRefused) {
    auto refused = [](nv::com::LibraryDescription d) {
        ComPtr<ITypeLib> lib;
        HRESULT hr = nv::com::createTypeLib(d, lib.put());
        EXPECT_FALSE(lib);
        return hr;
    };
    auto d = nv::test::calculatorLibrary();
    d.name.clear();
    EXPECT_EQ(refused(d), E_INVALIDARG);
    d = nv::test::calculatorLibrary();
    d.types[1].guid = d.types[0].guid;
    EXPECT_EQ(refused(d), E_INVALIDARG);
    d = nv::test::calculatorLibrary();
    d.types[2].implemented.push_back(IID_IDataObject);
    EXPECT_EQ(refused(d), E_INVALIDARG);
    d = nv::test::calculatorLibrary();
    d.types[2].implemented = {nv::test::kCalculatorClsid};  // a coclass is no interface
    EXPECT_EQ(refused(d), E_INVALIDARG);
    d = nv::test::calculatorLibrary();
    d.types[0].kind = TKIND_RECORD;
    EXPECT_EQ(refused(d), E_INVALIDARG);
    d = nv::test::calculatorLibrary();
    nv::com::MemberDescription method;
    method.id = 1;
    method.name = u"Method";
    d.types[2].members.push_back(method);
    EXPECT_EQ(refused(d), E_INVALIDARG);
}

TEST(TypeLibLoading, LoadsFromALibraryExportingDllGetTypeLib) {
    ComPtr<ITypeLib> lib;
    ASSERT_EQ(LoadTypeLib(kTypeLibPath, lib.put()), S_OK);
    EXPECT_EQ(lib->GetTypeInfoCount(), 3u);
    ComPtr<ITypeLib> again;
    ASSERT_EQ(LoadTypeLib(kTypeLibPath, again.put()), S_OK);
    EXPECT_EQ(LoadTypeLib(u"/nonexistent/types.so", again.put()), TYPE_E_CANTLOADLIBRARY);
    EXPECT_EQ(again.get(), nullptr);
    EXPECT_EQ(LoadTypeLib(u"" NV_TEST_SERVER_PATH, again.put()), TYPE_E_CANTLOADLIBRARY);
    EXPECT_EQ(LoadTypeLib(nullptr, again.put()), E_INVALIDARG);
}

class TypeLibRegistration : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(LoadTypeLib(kTypeLibPath, lib.put()), S_OK); }

    nv::test::RegistrySandbox sandbox;
    ComPtr<ITypeLib> lib;
    std::u16string libid = nv::com::toString(nv::test::kCalculatorLibid);
    std::u16string iid = nv::com::toString(nv::test::kCalculatorIid);
};

TEST_F(TypeLibRegistration, WritesTheTypeLibAndInterfaceKeys) {
    ASSERT_EQ(RegisterTypeLib(lib.get(), kTypeLibPath, nullptr), S_OK);
    std::u16string version = u"TypeLib\\" + libid + u"\\1.0";
    EXPECT_EQ(defaultValue(version), u"Sondar test type library");
    EXPECT_EQ(defaultValue(version + u"\\0\\linux64"), kTypeLibPath);
    EXPECT_EQ(defaultValue(version + u"\\FLAGS"), u"0");
    std::u16string path(kTypeLibPath);
    EXPECT_EQ(defaultValue(version + u"\\HELPDIR"), path.substr(0, path.rfind(u'/')));
    EXPECT_EQ(defaultValue(u"Interface\\" + iid), u"ICalculator");
    EXPECT_EQ(defaultValue(u"Interface\\" + iid + u"\\ProxyStubClsid32"),
              u"{00020424-0000-0000-C000-000000000046}");
    EXPECT_EQ(defaultValue(u"Interface\\" + iid + u"\\TypeLib"), libid);
    Key typeLib;
    std::u16string v;
    ASSERT_EQ(
        Key::open(Hive::ClassesRoot, u"Interface\\" + iid + u"\\TypeLib", Access::Read, typeLib),
        Status::Ok);
    ASSERT_EQ(typeLib.getString(u"Version", v), Status::Ok);
    EXPECT_EQ(v, u"1.0");
    // A plain vtable interface is not registered.
    EXPECT_EQ(defaultValue(u"Interface\\" + nv::com::toString(nv::test::kEventsIid)), u"<no key>");
}

TEST_F(TypeLibRegistration, ExplicitHelpDirIsWritten) {
    ASSERT_EQ(RegisterTypeLib(lib.get(), kTypeLibPath, u"/usr/share/help"), S_OK);
    EXPECT_EQ(defaultValue(u"TypeLib\\" + libid + u"\\1.0\\HELPDIR"), u"/usr/share/help");
    EXPECT_EQ(RegisterTypeLib(nullptr, kTypeLibPath, nullptr), E_INVALIDARG);
    EXPECT_EQ(RegisterTypeLib(lib.get(), nullptr, nullptr), E_INVALIDARG);
}

TEST_F(TypeLibRegistration, LoadsBackThroughTheRegistry) {
    ASSERT_EQ(RegisterTypeLib(lib.get(), kTypeLibPath, nullptr), S_OK);
    ComPtr<ITypeLib> loaded;
    ASSERT_EQ(LoadRegTypeLib(nv::test::kCalculatorLibid, 1, 0, 0x409, loaded.put()), S_OK);
    TLIBATTR* attr = nullptr;
    loaded->GetLibAttr(&attr);
    EXPECT_EQ(attr->guid, nv::test::kCalculatorLibid);
    loaded->ReleaseTLibAttr(attr);
    EXPECT_EQ(LoadRegTypeLib(nv::test::kCalculatorLibid, 2, 0, 0, loaded.put()),
              TYPE_E_LIBNOTREGISTERED);
    EXPECT_EQ(LoadRegTypeLib(nv::test::kCalculatorLibid, 1, 1, 0, loaded.put()),
              TYPE_E_LIBNOTREGISTERED);
    EXPECT_EQ(LoadRegTypeLib(IID_IUnknown, 1, 0, 0, loaded.put()), TYPE_E_LIBNOTREGISTERED);
}

TEST_F(TypeLibRegistration, PicksTheHighestMinorVersionOfTheMajor) {
    Key key;
    std::u16string base = u"TypeLib\\" + libid;
    ASSERT_EQ(Key::create(Hive::ClassesRoot, base + u"\\1.a\\0\\linux64", key), Status::Ok);
    key.setString(u"", kTypeLibPath);
    ASSERT_EQ(Key::create(Hive::ClassesRoot, base + u"\\1.3\\0\\linux64", key), Status::Ok);
    key.setString(u"", u"/nonexistent/old.so");
    ComPtr<ITypeLib> loaded;
    EXPECT_EQ(LoadRegTypeLib(nv::test::kCalculatorLibid, 1, 2, 0, loaded.put()), S_OK);
    EXPECT_TRUE(loaded);  // 1.a (hex ten) was chosen over 1.3
    EXPECT_EQ(LoadRegTypeLib(nv::test::kCalculatorLibid, 1, 11, 0, loaded.put()),
              TYPE_E_LIBNOTREGISTERED);
    // Without 1.a the best match is 1.3, whose library does not load.
    Key::deleteTree(Hive::ClassesRoot, base + u"\\1.a");
    EXPECT_EQ(LoadRegTypeLib(nv::test::kCalculatorLibid, 1, 2, 0, loaded.put()),
              TYPE_E_CANTLOADLIBRARY);
}

TEST_F(TypeLibRegistration, UnregisterRemovesWhatRegisterWrote) {
    ASSERT_EQ(RegisterTypeLib(lib.get(), kTypeLibPath, nullptr), S_OK);
    ASSERT_EQ(UnRegisterTypeLib(nv::test::kCalculatorLibid, 1, 0, 0, SYS_WIN64), S_OK);
    EXPECT_EQ(defaultValue(u"TypeLib\\" + libid), u"<no key>");
    EXPECT_EQ(defaultValue(u"Interface\\" + iid), u"<no key>");
    ComPtr<ITypeLib> loaded;
    EXPECT_EQ(LoadRegTypeLib(nv::test::kCalculatorLibid, 1, 0, 0, loaded.put()),
              TYPE_E_LIBNOTREGISTERED);
    EXPECT_EQ(UnRegisterTypeLib(nv::test::kCalculatorLibid, 1, 0, 0, SYS_WIN64),
              TYPE_E_LIBNOTREGISTERED);
}

TEST_F(TypeLibRegistration, UnregisterKeepsOtherLocalesAndUnrelatedInterfaces) {
    ASSERT_EQ(RegisterTypeLib(lib.get(), kTypeLibPath, nullptr), S_OK);
    Key key;
    std::u16string version = u"TypeLib\\" + libid + u"\\1.0";
    ASSERT_EQ(Key::create(Hive::ClassesRoot, version + u"\\409\\linux64", key), Status::Ok);
    key.setString(u"", kTypeLibPath);
    std::u16string foreign = u"Interface\\{00000000-1111-2222-3333-444444444444}";
    ASSERT_EQ(Key::create(Hive::ClassesRoot, foreign + u"\\TypeLib", key), Status::Ok);
    key.setString(u"", u"{99999999-1111-2222-3333-444444444444}");

    ASSERT_EQ(UnRegisterTypeLib(nv::test::kCalculatorLibid, 1, 0, 0, SYS_WIN64), S_OK);
    EXPECT_EQ(defaultValue(version + u"\\0"), u"<no key>");
    EXPECT_EQ(defaultValue(version + u"\\409\\linux64"), kTypeLibPath);
    EXPECT_EQ(defaultValue(u"Interface\\" + iid), u"ICalculator");  // still used by 409

    ASSERT_EQ(UnRegisterTypeLib(nv::test::kCalculatorLibid, 1, 0, 0x409, SYS_WIN64), S_OK);
    EXPECT_EQ(defaultValue(u"Interface\\" + iid), u"<no key>");
    EXPECT_EQ(defaultValue(foreign + u"\\TypeLib"), u"{99999999-1111-2222-3333-444444444444}");
}

}  // namespace
