// Loading type libraries from shared libraries, and their registration under HKCR\TypeLib.
#include <dlfcn.h>

#include <cstdio>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/com/bstr.h"
#include "platform/com/guard.h"
#include "platform/com/guid.h"
#include "platform/com/iids.h"
#include "platform/com/typeinfo.h"
#include "platform/registry/registry.h"
#include "platform/text/unicode.h"

namespace {

using nv::registry::Access;
using nv::registry::Hive;
using nv::registry::Key;
using nv::registry::Status;

constexpr char16_t kPlatformKey[] = u"linux64";

std::u16string hex(unsigned v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%x", v);
    return nv::text::utf8ToUtf16(buf);
}

std::u16string libraryKey(const GUID& libid) {
    return u"TypeLib\\" + nv::com::toString(libid);
}

std::u16string versionName(WORD major, WORD minor) {
    return hex(major) + u"." + hex(minor);
}

bool parseHex(std::u16string_view s, unsigned& out) {
    if (s.empty() || s.size() > 8)
        return false;
    unsigned v = 0;
    for (char16_t c : s) {
        unsigned d;
        if (c >= u'0' && c <= u'9')
            d = c - u'0';
        else if (c >= u'a' && c <= u'f')
            d = c - u'a' + 10;
        else if (c >= u'A' && c <= u'F')
            d = c - u'A' + 10;
        else
            return false;
        v = v * 16 + d;
    }
    out = v;
    return true;
}

bool parseVersion(std::u16string_view s, unsigned& major, unsigned& minor) {
    std::size_t dot = s.find(u'.');
    return dot != std::u16string_view::npos && parseHex(s.substr(0, dot), major) &&
           parseHex(s.substr(dot + 1), minor) && major <= 0xFFFF && minor <= 0xFFFF;
}

std::vector<std::u16string> subkeys(const Key& key) {
    std::vector<std::u16string> names;
    std::u16string name;
    for (std::uint32_t i = 0; key.enumSubkey(i, name) == Status::Ok; ++i)
        names.push_back(name);
    return names;
}

// Sets the default value (and optionally one named value) of HKCR\<path>.
bool writeKey(const std::u16string& path, std::u16string_view value,
              std::u16string_view extraName = {}, std::u16string_view extraValue = {}) {
    Key key;
    if (Key::create(Hive::ClassesRoot, path, key) != Status::Ok)
        return false;
    if (key.setString(u"", value) != Status::Ok)
        return false;
    if (!extraName.empty() && key.setString(extraName, extraValue) != Status::Ok)
        return false;
    return true;
}

std::u16string folderOf(std::u16string_view path) {
    std::size_t slash = path.find_last_of(u"/\\");
    if (slash == std::u16string_view::npos)
        return u"";
    return std::u16string(path.substr(0, slash == 0 ? 1 : slash));
}

// Registry-visible interfaces: dispinterfaces and dual or Automation-compatible interfaces.
bool registersInterface(const TYPEATTR& a) {
    return a.typekind == TKIND_DISPATCH ||
           (a.typekind == TKIND_INTERFACE &&
            (a.wTypeFlags & (TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION)));
}

HRESULT registerTypeLib(ITypeLib* lib, std::u16string_view fullPath, const OLECHAR* helpDir) {
    TLIBATTR* attr = nullptr;
    HRESULT hr = lib->GetLibAttr(&attr);
    if (FAILED(hr))
        return hr;
    TLIBATTR a = *attr;
    lib->ReleaseTLibAttr(attr);

    nv::com::Bstr name, doc;
    hr = lib->GetDocumentation(-1, name.out(), doc.out(), nullptr, nullptr);
    if (FAILED(hr))
        return hr;

    std::u16string libid = nv::com::toString(a.guid);
    std::u16string version = versionName(a.wMajorVerNum, a.wMinorVerNum);
    std::u16string versionKey = libraryKey(a.guid) + u"\\" + version;
    bool ok =
        writeKey(versionKey, doc.empty() ? name.view() : doc.view()) &&
        writeKey(versionKey + u"\\FLAGS", nv::text::utf8ToUtf16(std::to_string(a.wLibFlags))) &&
        writeKey(versionKey + u"\\HELPDIR",
                 helpDir ? std::u16string(nv::text::view(helpDir)) : folderOf(fullPath)) &&
        writeKey(versionKey + u"\\" + hex(a.lcid) + u"\\" + kPlatformKey, fullPath);
    if (!ok)
        return TYPE_E_REGISTRYACCESS;

    std::u16string marshaler = nv::com::toString(CLSID_PSOAInterface);
    UINT count = lib->GetTypeInfoCount();
    for (UINT i = 0; i < count; ++i) {
        ITypeInfo* info = nullptr;
        if (FAILED(lib->GetTypeInfo(i, &info)))
            continue;
        TYPEATTR* ta = nullptr;
        nv::com::Bstr typeName;
        bool wanted = SUCCEEDED(info->GetTypeAttr(&ta)) && registersInterface(*ta) &&
                      SUCCEEDED(info->GetDocumentation(MEMBERID_NIL, typeName.out(), nullptr,
                                                       nullptr, nullptr));
        GUID iid = ta ? ta->guid : GUID_NULL;
        if (ta)
            info->ReleaseTypeAttr(ta);
        info->Release();
        if (!wanted)
            continue;
        std::u16string key = u"Interface\\" + nv::com::toString(iid);
        ok = writeKey(key, typeName.view()) && writeKey(key + u"\\ProxyStubClsid", marshaler) &&
             writeKey(key + u"\\ProxyStubClsid32", marshaler) &&
             writeKey(key + u"\\TypeLib", libid, u"Version", version);
        if (!ok)
            return TYPE_E_REGISTRYACCESS;
    }
    return S_OK;
}

// Deletes the Interface keys whose TypeLib subkey names this library version.
void unregisterInterfaces(const std::u16string& libid, const std::u16string& version) {
    Key interfaces;
    if (Key::open(Hive::ClassesRoot, u"Interface", Access::ReadWrite, interfaces) != Status::Ok)
        return;
    std::vector<std::u16string> doomed;
    for (const std::u16string& name : subkeys(interfaces)) {
        Key typeLib;
        if (interfaces.openSubkey(name + u"\\TypeLib", Access::Read, typeLib) != Status::Ok)
            continue;
        std::u16string owner, ownerVersion;
        if (typeLib.getString(u"", owner) != Status::Ok ||
            !nv::text::equalsIgnoreCase(owner, libid))
            continue;
        if (typeLib.getString(u"Version", ownerVersion) == Status::Ok &&
            !nv::text::equalsIgnoreCase(ownerVersion, version))
            continue;
        doomed.push_back(name);
    }
    for (const std::u16string& name : doomed)
        interfaces.deleteSubkeyTree(name);
}

HRESULT unregisterTypeLib(const GUID& libID, WORD major, WORD minor, LCID lcid) {
    std::u16string libraryPath = libraryKey(libID);
    std::u16string version = versionName(major, minor);
    Key versionKey;
    Status st =
        Key::open(Hive::ClassesRoot, libraryPath + u"\\" + version, Access::ReadWrite, versionKey);
    if (st == Status::NotFound)
        return TYPE_E_LIBNOTREGISTERED;
    if (st != Status::Ok)
        return TYPE_E_REGISTRYACCESS;

    std::u16string lcidName = hex(lcid);
    Key lcidKey;
    if (versionKey.openSubkey(lcidName, Access::ReadWrite, lcidKey) != Status::Ok)
        return TYPE_E_LIBNOTREGISTERED;
    if (lcidKey.deleteSubkeyTree(kPlatformKey) != Status::Ok)
        return TYPE_E_LIBNOTREGISTERED;
    std::uint32_t left = 0;
    if (lcidKey.subkeyCount(left) == Status::Ok && left == 0)
        versionKey.deleteSubkeyTree(lcidName);

    // Other LCIDs still registered keep the version and its interfaces.
    for (const std::u16string& name : subkeys(versionKey)) {
        unsigned ignored;
        if (parseHex(name, ignored))
            return S_OK;
    }
    unregisterInterfaces(nv::com::toString(libID), version);
    if (Key::deleteTree(Hive::ClassesRoot, libraryPath + u"\\" + version) != Status::Ok)
        return TYPE_E_REGISTRYACCESS;
    Key library;
    std::uint32_t versions = 0;
    if (Key::open(Hive::ClassesRoot, libraryPath, Access::Read, library) == Status::Ok &&
        library.subkeyCount(versions) == Status::Ok && versions == 0)
        Key::deleteTree(Hive::ClassesRoot, libraryPath);
    return S_OK;
}

HRESULT registeredPath(const GUID& libid, WORD major, WORD minor, LCID lcid, std::u16string& out) {
    Key library;
    Status st = Key::open(Hive::ClassesRoot, libraryKey(libid), Access::Read, library);
    if (st == Status::NotFound)
        return TYPE_E_LIBNOTREGISTERED;
    if (st != Status::Ok)
        return TYPE_E_REGISTRYACCESS;
    std::u16string best;
    unsigned bestMinor = 0;
    for (const std::u16string& name : subkeys(library)) {
        unsigned maj, min;
        if (!parseVersion(name, maj, min) || maj != major || min < minor)
            continue;
        if (best.empty() || min > bestMinor) {
            best = name;
            bestMinor = min;
        }
    }
    if (best.empty())
        return TYPE_E_LIBNOTREGISTERED;
    Key versionKey;
    if (library.openSubkey(best, Access::Read, versionKey) != Status::Ok)
        return TYPE_E_LIBNOTREGISTERED;
    for (LCID candidate : {lcid, lcid & 0x3FFu, LCID{0}}) {
        Key platform;
        if (versionKey.openSubkey(hex(candidate) + u"\\" + kPlatformKey, Access::Read, platform) !=
            Status::Ok)
            continue;
        if (platform.getString(u"", out) == Status::Ok && !out.empty())
            return S_OK;
    }
    return TYPE_E_LIBNOTREGISTERED;
}

struct TypeLibModules {
    std::mutex mutex;
    std::map<std::string, void*> handles;  // opened once, never closed
};

TypeLibModules& modules() {
    static TypeLibModules* instance = new TypeLibModules;
    return *instance;
}

HRESULT loadTypeLib(const std::string& path, ITypeLib** out) {
    TypeLibModules& m = modules();
    void* handle = nullptr;
    {
        std::lock_guard lock(m.mutex);
        auto it = m.handles.find(path);
        if (it != m.handles.end())
            handle = it->second;
    }
    if (!handle) {
        // Without the lock: the library's initialisers may use COM.
        handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            return TYPE_E_CANTLOADLIBRARY;
        if (!dlsym(handle, "DllGetTypeLib")) {
            dlclose(handle);
            return TYPE_E_CANTLOADLIBRARY;
        }
        std::lock_guard lock(m.mutex);
        auto [it, inserted] = m.handles.emplace(path, handle);
        if (!inserted) {
            dlclose(handle);  // loaded meanwhile by another thread; drop the extra reference
            handle = it->second;
        }
    }
    auto getTypeLib = reinterpret_cast<LPFNGETTYPELIB>(dlsym(handle, "DllGetTypeLib"));
    HRESULT hr = getTypeLib(out);
    if (SUCCEEDED(hr) && !*out)
        return E_UNEXPECTED;
    return hr;
}

}  // namespace

extern "C" {

HRESULT LoadTypeLib(LPCOLESTR szFile, ITypeLib** pptlib) noexcept {
    if (!pptlib)
        return E_INVALIDARG;
    *pptlib = nullptr;
    if (!szFile || !*szFile)
        return E_INVALIDARG;
    return nv::com::detail::guarded(
        [&] { return loadTypeLib(nv::text::utf16ToUtf8(nv::text::view(szFile)), pptlib); });
}

HRESULT RegisterTypeLib(ITypeLib* ptlib, LPCOLESTR szFullPath, LPCOLESTR szHelpDir) noexcept {
    if (!ptlib || !szFullPath || !*szFullPath)
        return E_INVALIDARG;
    return nv::com::detail::guarded(
        [&] { return registerTypeLib(ptlib, nv::text::view(szFullPath), szHelpDir); });
}

HRESULT UnRegisterTypeLib(REFGUID libID, WORD wVerMajor, WORD wVerMinor, LCID lcid,
                          SYSKIND syskind) noexcept {
    return nv::com::detail::guarded(
        [&] { return unregisterTypeLib(libID, wVerMajor, wVerMinor, lcid); });
}

HRESULT LoadRegTypeLib(REFGUID rguid, WORD wVerMajor, WORD wVerMinor, LCID lcid,
                       ITypeLib** pptlib) noexcept {
    if (!pptlib)
        return E_INVALIDARG;
    *pptlib = nullptr;
    return nv::com::detail::guarded([&]() -> HRESULT {
        std::u16string path;
        HRESULT hr = registeredPath(rguid, wVerMajor, wVerMinor, lcid, path);
        if (FAILED(hr))
            return hr;
        return LoadTypeLib(path.c_str(), pptlib);
    });
}

}  // extern "C"
