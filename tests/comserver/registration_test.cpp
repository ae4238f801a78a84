// Registration of the server in HKEY_CLASSES_ROOT: what DllRegisterServer writes, what
// unregistration leaves, the registration tool, and the refresh each control object does.
#include <dlfcn.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

#include "comserver/wscom_ids.h"
#include "platform/com/guid.h"
#include "platform/com/typeinfo.h"
#include "platform/registry/registry.h"
#include "platform/text/unicode.h"
#include "tests/comserver/wscom_client.h"
#include "tests/support/http_servers.h"
#include "tests/support/temp_dir.h"

namespace wscom::test {

namespace {

using nv::registry::Access;
using nv::registry::Hive;
using nv::registry::Key;
using nv::registry::Status;

bool keyExists(const std::u16string& path) {
    Key k;
    return Key::open(Hive::ClassesRoot, path, Access::Read, k) == Status::Ok;
}

// The string value (default for an empty name); "<missing>" when there is none.
std::u16string valueOf(const std::u16string& path, std::u16string_view name = u"") {
    Key k;
    std::u16string text;
    if (Key::open(Hive::ClassesRoot, path, Access::Read, k) != Status::Ok ||
        k.getString(name, text) != Status::Ok)
        return u"<missing>";
    return text;
}

std::u16string clsidKey(const CLSID& clsid) {
    return u"CLSID\\" + nv::com::toString(clsid);
}

struct ToolRun {
    int exitCode = -1;
    std::string output;
};

// Runs the registration tool with the registry the test uses (the environment is inherited).
ToolRun runTool(const std::string& arguments) {
    ToolRun run;
    std::string command = std::string(NV_REGSVR_PATH) + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return run;
    std::array<char, 256> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), pipe))
        run.output += buffer.data();
    int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

HRESULT createControl(nv::com::ComPtr<IUnknown>& out) {
    return CoCreateInstance(kClsidNVWSControl, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                            out.putVoid());
}

class WscomRegistration : public WscomTest {};

TEST_F(WscomRegistration, WritesBothClassesWithTheirProgIdsAndServerFile) {
    const std::u16string module = nv::text::utf8ToUtf16(serverPath());
    struct Expected {
        CLSID clsid;
        std::u16string progId, independent, friendly;
    };
    for (const Expected& c :
         {Expected{kClsidIOMessage, u"wscom.IOMessage.1", u"wscom.IOMessage", u"CIOMessage Object"},
          Expected{kClsidNVWSControl, u"wscom.NVWSControl.1", u"wscom.NVWSControl",
                   u"CNVWSControl Object"}}) {
        std::u16string clsid = nv::com::toString(c.clsid);
        EXPECT_EQ(valueOf(c.progId), c.friendly);
        EXPECT_EQ(valueOf(c.progId + u"\\CLSID"), clsid);
        EXPECT_EQ(valueOf(c.independent), c.friendly);
        EXPECT_EQ(valueOf(c.independent + u"\\CLSID"), clsid);
        EXPECT_EQ(valueOf(c.independent + u"\\CurVer"), c.progId);
        std::u16string key = clsidKey(c.clsid);
        EXPECT_EQ(valueOf(key), c.friendly);
        EXPECT_EQ(valueOf(key + u"\\ProgID"), c.progId);
        EXPECT_EQ(valueOf(key + u"\\VersionIndependentProgID"), c.independent);
        EXPECT_TRUE(keyExists(key + u"\\Programmable"));
        EXPECT_EQ(valueOf(key + u"\\InprocServer32"), module);
        EXPECT_EQ(valueOf(key + u"\\InprocServer32", u"ThreadingModel"), u"apartment");
        EXPECT_EQ(valueOf(key, u"AppID"), u"{AD1CF0E2-2075-473C-B8BE-78CD2F3C40A2}");
        EXPECT_EQ(valueOf(key + u"\\TypeLib"), u"{AD1CF0E2-2075-473C-B8BE-78CD2F3C40A2}");
    }
}

TEST_F(WscomRegistration, WritesTheAppIdAndATypeLibraryNamingTheServerFile) {
    EXPECT_EQ(valueOf(u"AppID\\{AD1CF0E2-2075-473C-B8BE-78CD2F3C40A2}"), u"wscom");
    EXPECT_EQ(valueOf(u"AppID\\wscom.DLL", u"AppID"), u"{AD1CF0E2-2075-473C-B8BE-78CD2F3C40A2}");
    std::u16string lib = u"TypeLib\\{AD1CF0E2-2075-473C-B8BE-78CD2F3C40A2}\\1.0";
    EXPECT_EQ(valueOf(lib), u"wscom 1.0 Type Library");
    EXPECT_EQ(valueOf(lib + u"\\409\\linux64"), nv::text::utf8ToUtf16(serverPath()));

    // The registered library is the server's own description of its classes.
    nv::com::ComPtr<ITypeLib> typeLib;
    ASSERT_EQ(LoadRegTypeLib(kLibId, 1, 0, 0x409, typeLib.put()), S_OK);
    nv::com::ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(typeLib->GetTypeInfoOfGuid(kClsidNVWSControl, coclass.put()), S_OK);
    nv::com::Bstr name, help;
    ASSERT_EQ(coclass->GetDocumentation(MEMBERID_NIL, name.out(), help.out(), nullptr, nullptr),
              S_OK);
    EXPECT_EQ(name.str(), u"CNVWSControl");
    EXPECT_EQ(help.str(), u"NVWSControl Class");
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(coclass->GetTypeAttr(&attr), S_OK);
    EXPECT_EQ(attr->typekind, TKIND_COCLASS);
    EXPECT_EQ(attr->wTypeFlags, TYPEFLAG_FCANCREATE | TYPEFLAG_FAGGREGATABLE);
    coclass->ReleaseTypeAttr(attr);
    EXPECT_EQ(valueOf(u"Interface\\" + nv::com::toString(kIidIIOMessage)), u"IIOMessage");
}

TEST_F(WscomRegistration, UnregisteringKeepsTheSharedRootsAndEndsCreation) {
    ASSERT_EQ(callServerExport("DllUnregisterServer"), S_OK);
    EXPECT_TRUE(keyExists(u"CLSID"));
    EXPECT_TRUE(keyExists(u"AppID"));
    for (const char16_t* gone :
         {u"wscom.IOMessage", u"wscom.IOMessage.1", u"wscom.NVWSControl", u"wscom.NVWSControl.1",
          u"AppID\\wscom.DLL", u"AppID\\{AD1CF0E2-2075-473C-B8BE-78CD2F3C40A2}",
          u"TypeLib\\{AD1CF0E2-2075-473C-B8BE-78CD2F3C40A2}"})
        EXPECT_FALSE(keyExists(gone)) << nv::text::utf16ToUtf8(gone);
    EXPECT_FALSE(keyExists(clsidKey(kClsidIOMessage)));
    EXPECT_FALSE(keyExists(clsidKey(kClsidNVWSControl)));

    nv::com::ComPtr<IUnknown> object;
    EXPECT_EQ(createControl(object), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(CoCreateInstance(kClsidIOMessage, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               object.putVoid()),
              REGDB_E_CLASSNOTREG);
    CLSID clsid;
    EXPECT_EQ(CLSIDFromProgID(u"wscom.NVWSControl", &clsid), CO_E_CLASSSTRING);
    // Unregistering what is not registered is no failure.
    EXPECT_EQ(callServerExport("DllUnregisterServer"), S_OK);
}

TEST_F(WscomRegistration, TheToolRegistersAndUnregistersAServer) {
    ASSERT_EQ(callServerExport("DllUnregisterServer"), S_OK);
    ToolRun reg = runTool("register " + serverPath());
    EXPECT_EQ(reg.exitCode, 0) << reg.output;
    nv::com::ComPtr<IUnknown> object;
    EXPECT_EQ(createControl(object), S_OK);
    object.reset();

    ToolRun unreg = runTool("unregister " + serverPath());
    EXPECT_EQ(unreg.exitCode, 0) << unreg.output;
    EXPECT_EQ(createControl(object), REGDB_E_CLASSNOTREG);
}

TEST_F(WscomRegistration, TheToolReportsWhatWentWrong) {
    ToolRun usage = runTool("install " + serverPath());
    EXPECT_EQ(usage.exitCode, 1);
    EXPECT_NE(usage.output.find("usage: nvregsvr"), std::string::npos) << usage.output;

    ToolRun missing = runTool("register /nonexistent/libnothing.so");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.output.find("cannot load"), std::string::npos) << missing.output;

    ToolRun noEntry = runTool(std::string("register ") + NV_PLATFORM_LIBRARY_PATH);
    EXPECT_EQ(noEntry.exitCode, 1);
    EXPECT_NE(noEntry.output.find("has no DllRegisterServer"), std::string::npos) << noEntry.output;

    // A registry folder that cannot be made: the server's failing HRESULT is printed.
    nv::test::TempDir dir;
    ASSERT_TRUE(nv::test::writeFile(dir.file("plain-file"), "x"));
    nv::test::ScopedEnv unwritable("NORVALE_REGISTRY_DIR", dir.file("plain-file") + "/registry");
    ToolRun failed = runTool("register " + serverPath());
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_NE(failed.output.find("DllRegisterServer in " + serverPath() + " failed: 0x"),
              std::string::npos)
        << failed.output;
    EXPECT_TRUE(FAILED(callServerExport("DllRegisterServer")));
}

TEST_F(WscomRegistration, EachControlObjectRepairsTheRegistration) {
    ASSERT_EQ(Key::deleteTree(Hive::ClassesRoot, u"wscom.NVWSControl\\CurVer"), Status::Ok);
    ASSERT_EQ(Key::deleteTree(Hive::ClassesRoot, clsidKey(kClsidIOMessage) + u"\\InprocServer32"),
              Status::Ok);
    ASSERT_EQ(Key::deleteTree(Hive::ClassesRoot, u"TypeLib"), Status::Ok);
    nv::com::ComPtr<IUnknown> object;
    ASSERT_EQ(createControl(object), S_OK);
    EXPECT_EQ(valueOf(u"wscom.NVWSControl\\CurVer"), u"wscom.NVWSControl.1");
    EXPECT_EQ(valueOf(clsidKey(kClsidIOMessage) + u"\\InprocServer32", u"ThreadingModel"),
              u"apartment");
    EXPECT_EQ(valueOf(u"TypeLib\\{AD1CF0E2-2075-473C-B8BE-78CD2F3C40A2}\\1.0\\409\\linux64"),
              nv::text::utf8ToUtf16(serverPath()));
}

TEST_F(WscomRegistration, AControlObjectIsMadeEvenWhenTheRegistryCannotBeWritten) {
    nv::com::ComPtr<IClassFactory> factory;
    ASSERT_EQ(CoGetClassObject(kClsidNVWSControl, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                               factory.putVoid()),
              S_OK);
    nv::test::TempDir dir;
    ASSERT_TRUE(nv::test::writeFile(dir.file("plain-file"), "x"));
    nv::test::ScopedEnv unwritable("NORVALE_REGISTRY_DIR", dir.file("plain-file") + "/registry");
    nv::com::ComPtr<INVWSControl> control;
    EXPECT_EQ(factory->CreateInstance(nullptr, kIidINVWSControl, control.putVoid()), S_OK);
    EXPECT_TRUE(control);
}

TEST_F(WscomRegistration, TheServerHandsOutOnlyItsOwnClasses) {
    // Asked directly, as the runtime does once the registry named the file.
    using GetClassObject = HRESULT (*)(REFCLSID, REFIID, void**);
    void* library = dlopen(serverPath().c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr);
    auto get = reinterpret_cast<GetClassObject>(dlsym(library, "DllGetClassObject"));
    ASSERT_NE(get, nullptr);
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(get(kIidIIOMessage, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    nv::com::ComPtr<IClassFactory> factory;
    EXPECT_EQ(get(kClsidIOMessage, IID_IClassFactory, factory.putVoid()), S_OK);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_EQ(callServerExport("DllCanUnloadNow"), S_FALSE);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    factory.reset();
    dlclose(library);
}

}  // namespace

}  // namespace wscom::test
