#include "comserver/registration.h"

#include <string>
#include <vector>

#include "comserver/guarded.h"
#include "comserver/registry_script.h"
#include "comserver/server_module.h"
#include "comserver/type_library.h"
#include "comserver/wscom_ids.h"
#include "platform/com/com_ptr.h"
#include "platform/com/guid.h"
#include "platform/registry/registry.h"

namespace wscom {

namespace {

using nv::registry::Access;
using nv::registry::Hive;
using nv::registry::Key;
using nv::registry::Status;

constexpr char16_t kServerName[] = u"wscom";

struct ClassEntry {
    const CLSID& clsid;
    const char16_t* progId;
    const char16_t* versionIndependentProgId;
    const char16_t* friendlyName;
};

const ClassEntry kClasses[] = {
    {kClsidIOMessage, kIOMessageProgId, kIOMessageVersionIndependentProgId, kIOMessageFriendlyName},
    {kClsidNVWSControl, kNVWSControlProgId, kNVWSControlVersionIndependentProgId,
     kNVWSControlFriendlyName},
};

ScriptKey key(std::u16string name, Removal removal, std::optional<std::u16string> value,
              std::vector<ScriptKey> subkeys = {}, std::vector<ScriptValue> values = {}) {
    return ScriptKey{std::move(name), removal, std::move(value), std::move(values),
                     std::move(subkeys)};
}

std::vector<ScriptKey> appIdScript() {
    std::u16string appId = nv::com::toString(kAppId);
    return {key(u"AppID", Removal::NoRemove, std::nullopt,
                {key(appId, Removal::Normal, std::u16string(kServerName)),
                 key(std::u16string(kServerName) + u".DLL", Removal::Normal, std::nullopt, {},
                     {{u"AppID", appId}})})};
}

std::vector<ScriptKey> classScript(const ClassEntry& c, const std::u16string& module) {
    std::u16string clsid = nv::com::toString(c.clsid);
    std::u16string name = c.friendlyName;
    return {
        key(c.progId, Removal::Normal, name, {key(u"CLSID", Removal::Normal, clsid)}),
        key(c.versionIndependentProgId, Removal::Normal, name,
            {key(u"CLSID", Removal::Normal, clsid),
             key(u"CurVer", Removal::Normal, std::u16string(c.progId))}),
        key(u"CLSID", Removal::NoRemove, std::nullopt,
            {key(clsid, Removal::ForceRemove, name,
                 {key(u"ProgID", Removal::Normal, std::u16string(c.progId)),
                  key(u"VersionIndependentProgID", Removal::Normal,
                      std::u16string(c.versionIndependentProgId)),
                  key(u"Programmable", Removal::ForceRemove, std::nullopt),
                  key(u"InprocServer32", Removal::Normal, module, {},
                      {{u"ThreadingModel", u"apartment"}}),
                  key(u"TypeLib", Removal::Normal, nv::com::toString(kLibId))},
                 {{u"AppID", nv::com::toString(kAppId)}})}),
    };
}

std::vector<ScriptKey> classesScript(const std::u16string& module) {
    std::vector<ScriptKey> all;
    for (const ClassEntry& c : kClasses)
        for (ScriptKey& k : classScript(c, module))
            all.push_back(std::move(k));
    return all;
}

bool defaultIs(const std::u16string& path, std::u16string_view expected) {
    Key k;
    std::u16string text;
    return Key::open(Hive::ClassesRoot, path, Access::Read, k) == Status::Ok &&
           k.getString(u"", text) == Status::Ok && text == expected;
}

// The library is registered under this file and both interfaces point at it.
bool typeLibraryIsCurrent(const std::u16string& module) {
    std::u16string lib = u"TypeLib\\" + nv::com::toString(kLibId) + u"\\1.0";
    std::u16string libId = nv::com::toString(kLibId);
    return defaultIs(lib, u"wscom 1.0 Type Library") &&
           defaultIs(lib + u"\\409\\linux64", module) &&
           defaultIs(u"Interface\\" + nv::com::toString(kIidIIOMessage) + u"\\TypeLib", libId) &&
           defaultIs(u"Interface\\" + nv::com::toString(kIidINVWSControl) + u"\\TypeLib", libId);
}

HRESULT registerTypeLibrary(const std::u16string& module, RegistrationScope scope) {
    if (scope == RegistrationScope::Refresh && typeLibraryIsCurrent(module))
        return S_OK;
    nv::com::ComPtr<ITypeLib> lib;
    HRESULT hr = typeLibrary(lib.put());
    if (FAILED(hr))
        return hr;
    return RegisterTypeLib(lib.get(), module.c_str(), nullptr);
}

}  // namespace

HRESULT registerServer(RegistrationScope scope) {
    return guarded([&]() -> HRESULT {
        const std::u16string& module = modulePath();
        if (module.empty())
            return SELFREG_E_CLASS;
        HRESULT hr = scope == RegistrationScope::Full ? applyScript(appIdScript()) : S_OK;
        if (SUCCEEDED(hr))
            hr = applyScript(classesScript(module));
        if (SUCCEEDED(hr))
            hr = registerTypeLibrary(module, scope);
        return hr;
    });
}

HRESULT unregisterServer() {
    return guarded([&]() -> HRESULT {
        HRESULT hr = removeScript(classesScript(modulePath()));
        if (FAILED(hr))
            return hr;
        hr = UnRegisterTypeLib(kLibId, kLibMajor, kLibMinor, kLibLcid, SYS_WIN64);
        if (FAILED(hr) && hr != TYPE_E_LIBNOTREGISTERED)
            return hr;
        return removeScript(appIdScript());
    });
}

}  // namespace wscom
