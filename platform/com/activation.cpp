#include "platform/com/activation.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/com/clipboard.h"
#include "platform/com/guard.h"
#include "platform/com/guid.h"
#include "platform/com/iids.h"
#include "platform/com/module_cache.h"
#include "platform/com/runtime_state.h"
#include "platform/com/task_memory.h"
#include "platform/registry/registry.h"
#include "platform/text/unicode.h"

namespace {

using nv::registry::Access;
using nv::registry::Hive;
using nv::registry::Key;
using nv::registry::Status;

constexpr DWORD kKnownCoInitFlags =
    COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE | COINIT_SPEED_OVER_MEMORY;

struct ThreadState {
    int comCount = 0;
    DWORD model = COINIT_MULTITHREADED;
    int oleCount = 0;
};

ThreadState& threadState() {
    thread_local ThreadState state;
    return state;
}

// %NAME% references replaced by the environment; unknown names are kept as written.
std::u16string expandEnvironment(std::u16string_view s) {
    std::u16string out;
    std::size_t i = 0;
    while (i < s.size()) {
        std::size_t open = s.find(u'%', i);
        std::size_t close = open == std::u16string_view::npos ? open : s.find(u'%', open + 1);
        if (close == std::u16string_view::npos) {
            out.append(s.substr(i));
            break;
        }
        out.append(s.substr(i, open - i));
        std::string name = nv::text::utf16ToUtf8(s.substr(open + 1, close - open - 1));
        const char* value = name.empty() ? nullptr : std::getenv(name.c_str());
        if (value)
            out += nv::text::utf8ToUtf16(value);
        else
            out.append(s.substr(open, close - open + 1));
        i = close + 1;
    }
    return out;
}

// The default value of HKCR\<path> as text; NotFound when the key or value is missing.
Status readDefaultString(std::u16string_view path, std::u16string& out) {
    Key key;
    Status st = Key::open(Hive::ClassesRoot, path, Access::Read, key);
    if (st != Status::Ok)
        return st;
    nv::registry::Value value;
    st = key.get(u"", value);
    if (st != Status::Ok)
        return st;
    if (value.type != nv::registry::ValueType::String &&
        value.type != nv::registry::ValueType::ExpandString)
        return Status::NotFound;
    std::u16string text;
    for (std::size_t i = 0; i + 1 < value.data.size(); i += 2)
        text += static_cast<char16_t>(value.data[i] | (value.data[i + 1] << 8));
    if (std::size_t nul = text.find(u'\0'); nul != std::u16string::npos)
        text.resize(nul);
    out = value.type == nv::registry::ValueType::ExpandString ? expandEnvironment(text) : text;
    return Status::Ok;
}

HRESULT inprocServerPath(REFCLSID clsid, std::string& path) {
    std::u16string text;
    Status st =
        readDefaultString(u"CLSID\\" + nv::com::toString(clsid) + u"\\InprocServer32", text);
    if (st == Status::NotFound || (st == Status::Ok && text.empty()))
        return REGDB_E_CLASSNOTREG;
    if (st != Status::Ok)
        return REGDB_E_READREGDB;
    path = nv::text::utf16ToUtf8(text);
    return S_OK;
}

HRESULT clsidOfProgId(std::u16string_view progId, LPCLSID clsid, bool followCurVer) {
    std::u16string text;
    Status st = readDefaultString(std::u16string(progId) + u"\\CLSID", text);
    if (st == Status::Ok) {
        GUID g;
        if (text.size() != 38 || !nv::com::parseGuid(text, g))
            return CO_E_CLASSSTRING;
        *clsid = g;
        return S_OK;
    }
    if (st != Status::NotFound)
        return REGDB_E_READREGDB;
    std::u16string current;
    if (followCurVer &&
        readDefaultString(std::u16string(progId) + u"\\CurVer", current) == Status::Ok &&
        !current.empty())
        return clsidOfProgId(current, clsid, false);
    return CO_E_CLASSSTRING;
}

HRESULT getClassObject(REFCLSID rclsid, DWORD dwClsContext, REFIID riid, LPVOID* ppv) {
    if (!ppv)
        return E_INVALIDARG;
    *ppv = nullptr;
    if (!nv::com::detail::comInitialized())
        return CO_E_NOTINITIALIZED;
    if (!(dwClsContext & CLSCTX_INPROC_SERVER))
        return REGDB_E_CLASSNOTREG;
    std::string path;
    HRESULT hr = inprocServerPath(rclsid, path);
    if (FAILED(hr))
        return hr;
    nv::com::detail::ModuleUse use;
    hr = nv::com::detail::acquireModule(path, use);
    if (FAILED(hr))
        return hr;
    return use.getClassObject()(rclsid, riid, ppv);
}

}  // namespace

namespace nv::com::detail {

bool comInitialized() {
    return threadState().comCount > 0;
}

}  // namespace nv::com::detail

extern "C" {

HRESULT CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit) noexcept {
    if (pvReserved || (dwCoInit & ~kKnownCoInitFlags))
        return E_INVALIDARG;
    ThreadState& t = threadState();
    DWORD model = dwCoInit & COINIT_APARTMENTTHREADED;
    if (t.comCount > 0) {
        if (model != t.model)
            return RPC_E_CHANGED_MODE;
        ++t.comCount;
        return S_FALSE;
    }
    t.model = model;
    t.comCount = 1;
    return S_OK;
}

HRESULT CoInitialize(LPVOID pvReserved) noexcept {
    return CoInitializeEx(pvReserved, COINIT_APARTMENTTHREADED);
}

void CoUninitialize() noexcept {
    ThreadState& t = threadState();
    if (t.comCount > 0)
        --t.comCount;
}

HRESULT OleInitialize(LPVOID pvReserved) noexcept {
    HRESULT hr = CoInitializeEx(pvReserved, COINIT_APARTMENTTHREADED);
    if (FAILED(hr))
        return hr;
    ++threadState().oleCount;
    return hr;  // S_FALSE when COM was already initialised on this thread, as on Windows
}

void OleUninitialize() noexcept {
    ThreadState& t = threadState();
    if (t.oleCount == 0)
        return;
    if (--t.oleCount == 0 && nv::com::detail::clipboardOwnedByCurrentThread())
        OleFlushClipboard();
    CoUninitialize();
}

HRESULT CoGetClassObject(REFCLSID rclsid, DWORD dwClsContext, COSERVERINFO* pServerInfo,
                         REFIID riid, LPVOID* ppv) noexcept {
    return nv::com::detail::guarded(
        [&] { return getClassObject(rclsid, dwClsContext, riid, ppv); });
}

HRESULT CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext, REFIID riid,
                         LPVOID* ppv) noexcept {
    if (!ppv)
        return E_INVALIDARG;
    *ppv = nullptr;
    IClassFactory* factory = nullptr;
    HRESULT hr = CoGetClassObject(rclsid, dwClsContext, nullptr, IID_IClassFactory,
                                  reinterpret_cast<void**>(&factory));
    if (FAILED(hr))
        return hr;
    hr = factory->CreateInstance(pUnkOuter, riid, ppv);
    factory->Release();
    return hr;
}

HRESULT CLSIDFromProgID(LPCOLESTR lpszProgID, LPCLSID lpclsid) noexcept {
    if (!lpszProgID || !lpclsid)
        return E_INVALIDARG;
    std::u16string_view progId = nv::text::view(lpszProgID);
    if (progId.empty())
        return CO_E_CLASSSTRING;
    return nv::com::detail::guarded([&] { return clsidOfProgId(progId, lpclsid, true); });
}

HRESULT ProgIDFromCLSID(REFCLSID clsid, LPOLESTR* lplpszProgID) noexcept {
    if (!lplpszProgID)
        return E_INVALIDARG;
    *lplpszProgID = nullptr;
    return nv::com::detail::guarded([&]() -> HRESULT {
        std::u16string text;
        Status st = readDefaultString(u"CLSID\\" + nv::com::toString(clsid) + u"\\ProgID", text);
        if (st == Status::NotFound || (st == Status::Ok && text.empty()))
            return REGDB_E_CLASSNOTREG;
        if (st != Status::Ok)
            return REGDB_E_READREGDB;
        auto* out = static_cast<LPOLESTR>(CoTaskMemAlloc((text.size() + 1) * sizeof(OLECHAR)));
        if (!out)
            return E_OUTOFMEMORY;
        std::memcpy(out, text.c_str(), (text.size() + 1) * sizeof(OLECHAR));
        *lplpszProgID = out;
        return S_OK;
    });
}

void CoFreeUnusedLibraries() noexcept {
    nv::com::detail::guarded([] {
        nv::com::detail::freeUnusedModules();
        return S_OK;
    });
}

void CoFreeUnusedLibrariesEx(DWORD dwUnloadDelay, DWORD dwReserved) noexcept {
    CoFreeUnusedLibraries();
}

}  // extern "C"
