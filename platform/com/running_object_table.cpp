// The process-wide running object table.
#include <mutex>
#include <vector>

#include "platform/com/guard.h"
#include "platform/com/guid.h"
#include "platform/com/moniker.h"
#include "platform/com/runtime_state.h"
#include "platform/com/task_memory.h"
#include "platform/text/unicode.h"

namespace {

// Monikers are compared by a key computed before the table is locked, so no moniker code
// ever runs under the lock: the class ID and the upper-cased display name, or the pointer
// for a moniker without a display name.
std::u16string keyOf(IMoniker* moniker) {
    CLSID clsid = CLSID_NULL;
    LPOLESTR name = nullptr;
    if (FAILED(moniker->GetClassID(&clsid)) ||
        FAILED(moniker->GetDisplayName(nullptr, nullptr, &name)) || !name) {
        CoTaskMemFree(name);
        std::u16string key = u"#";
        auto bits = reinterpret_cast<std::uintptr_t>(moniker);
        for (int i = 0; i < 16; ++i)
            key += static_cast<char16_t>(u'a' + ((bits >> (4 * i)) & 0xF));
        return key;
    }
    std::u16string key;
    try {
        key = nv::com::toString(clsid) + u"!" + nv::text::toUpper(nv::text::view(name));
    } catch (...) {
        CoTaskMemFree(name);
        throw;
    }
    CoTaskMemFree(name);
    return key;
}

struct Entry {
    DWORD cookie = 0;
    std::u16string key;
    IMoniker* moniker = nullptr;  // a reference the table owns
    IUnknown* object = nullptr;   // owned only when `strong`
    bool strong = false;
    bool hasTime = false;
    FILETIME changed{};
};

void releaseEntry(Entry& e) {
    if (e.moniker)
        e.moniker->Release();
    if (e.strong && e.object)
        e.object->Release();
}

class RunningObjectTable final : public IRunningObjectTable {
  public:
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IRunningObjectTable) {
            *ppv = static_cast<IRunningObjectTable*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    // The table lives as long as the process.
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }

    HRESULT Register(DWORD grfFlags, IUnknown* punkObject, IMoniker* pmkObjectName,
                     DWORD* pdwRegister) override {
        if (pdwRegister)
            *pdwRegister = 0;
        if (!punkObject || !pmkObjectName || !pdwRegister)
            return E_INVALIDARG;
        if (grfFlags & ~DWORD{ROTFLAGS_REGISTRATIONKEEPSALIVE | ROTFLAGS_ALLOWANYCLIENT})
            return E_INVALIDARG;
        return nv::com::detail::guarded([&]() -> HRESULT {
            Entry e;
            e.key = keyOf(pmkObjectName);
            e.strong = grfFlags & ROTFLAGS_REGISTRATIONKEEPSALIVE;
            bool duplicate = false;
            {
                std::lock_guard lock(mutex_);
                entries_.reserve(entries_.size() + 1);
                for (const Entry& other : entries_)
                    duplicate = duplicate || other.key == e.key;
                e.cookie = nextCookie_++;
                if (nextCookie_ == 0)
                    nextCookie_ = 1;
                e.moniker = pmkObjectName;
                e.object = punkObject;
                pmkObjectName->AddRef();
                if (e.strong)
                    punkObject->AddRef();
                entries_.push_back(std::move(e));
                *pdwRegister = entries_.back().cookie;
            }
            return duplicate ? MK_S_MONIKERALREADYREGISTERED : S_OK;
        });
    }

    HRESULT Revoke(DWORD dwRegister) override {
        Entry doomed;
        {
            std::lock_guard lock(mutex_);
            auto it = findCookie(dwRegister);
            if (it == entries_.end())
                return E_INVALIDARG;
            doomed = std::move(*it);
            entries_.erase(it);
        }
        // Releasing may destroy the object, which may revoke other entries: no lock held.
        releaseEntry(doomed);
        return S_OK;
    }

    HRESULT IsRunning(IMoniker* pmkObjectName) override {
        if (!pmkObjectName)
            return E_INVALIDARG;
        return nv::com::detail::guarded([&]() -> HRESULT {
            std::u16string key = keyOf(pmkObjectName);
            std::lock_guard lock(mutex_);
            return findKey(key) != entries_.end() ? S_OK : S_FALSE;
        });
    }

    HRESULT GetObject(IMoniker* pmkObjectName, IUnknown** ppunkObject) override {
        if (!ppunkObject)
            return E_INVALIDARG;
        *ppunkObject = nullptr;
        if (!pmkObjectName)
            return E_INVALIDARG;
        return nv::com::detail::guarded([&]() -> HRESULT {
            std::u16string key = keyOf(pmkObjectName);
            std::lock_guard lock(mutex_);
            auto it = findKey(key);
            if (it == entries_.end())
                return MK_E_UNAVAILABLE;
            it->object->AddRef();
            *ppunkObject = it->object;
            return S_OK;
        });
    }

    HRESULT NoteChangeTime(DWORD dwRegister, FILETIME* pfiletime) override {
        if (!pfiletime)
            return E_INVALIDARG;
        std::lock_guard lock(mutex_);
        auto it = findCookie(dwRegister);
        if (it == entries_.end())
            return E_INVALIDARG;
        it->changed = *pfiletime;
        it->hasTime = true;
        return S_OK;
    }

    HRESULT GetTimeOfLastChange(IMoniker* pmkObjectName, FILETIME* pfiletime) override {
        if (!pmkObjectName || !pfiletime)
            return E_INVALIDARG;
        return nv::com::detail::guarded([&]() -> HRESULT {
            std::u16string key = keyOf(pmkObjectName);
            std::lock_guard lock(mutex_);
            for (const Entry& e : entries_) {
                if (e.key == key && e.hasTime) {
                    *pfiletime = e.changed;
                    return S_OK;
                }
            }
            return MK_E_UNAVAILABLE;
        });
    }

    HRESULT EnumRunning(IEnumMoniker** ppenumMoniker) override {
        if (ppenumMoniker)
            *ppenumMoniker = nullptr;
        return E_NOTIMPL;
    }

  private:
    std::vector<Entry>::iterator findCookie(DWORD cookie) {
        for (auto it = entries_.begin(); it != entries_.end(); ++it)
            if (it->cookie == cookie)
                return it;
        return entries_.end();
    }
    std::vector<Entry>::iterator findKey(const std::u16string& key) {
        for (auto it = entries_.begin(); it != entries_.end(); ++it)
            if (it->key == key)
                return it;
        return entries_.end();
    }

    std::mutex mutex_;
    std::vector<Entry> entries_;
    DWORD nextCookie_ = 1;
};

}  // namespace

extern "C" {

HRESULT GetRunningObjectTable(DWORD reserved, LPRUNNINGOBJECTTABLE* pprot) noexcept {
    if (!pprot)
        return E_INVALIDARG;
    *pprot = nullptr;
    if (reserved != 0)
        return E_UNEXPECTED;
    if (!nv::com::detail::comInitialized())
        return CO_E_NOTINITIALIZED;
    // Never destroyed: what is still registered at exit belongs to libraries that may already
    // be finalised, so releasing it then would be unsafe. It stays reachable, so leak checkers
    // do not report it.
    static RunningObjectTable* table = new RunningObjectTable;
    *pprot = table;
    return S_OK;
}

}  // extern "C"
