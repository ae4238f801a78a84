// File monikers: a path that names an object, compared as Windows compares file names.
#include "platform/com/file_moniker.h"

#include <sys/stat.h>

#include <cstring>
#include <mutex>
#include <new>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/com/guard.h"
#include "platform/com/object_base.h"
#include "platform/com/task_memory.h"
#include "platform/text/unicode.h"

namespace {

// Longest path Load accepts, in UTF-16 units; anything longer is a corrupt stream.
constexpr std::uint32_t kMaxLoadUnits = 1u << 20;
// Seconds between 1601-01-01 and 1970-01-01.
constexpr std::int64_t kFileTimeEpochOffset = 11644473600;

HRESULT readExact(IStream* stm, void* buf, ULONG size) {
    ULONG got = 0;
    HRESULT hr = stm->Read(buf, size, &got);
    if (FAILED(hr))
        return hr;
    return got == size ? S_OK : STG_E_READFAULT;
}

HRESULT writeExact(IStream* stm, const void* buf, ULONG size) {
    ULONG put = 0;
    HRESULT hr = stm->Write(buf, size, &put);
    if (FAILED(hr))
        return hr;
    return put == size ? S_OK : STG_E_MEDIUMFULL;
}

HRESULT copyToTaskMem(std::u16string_view s, LPOLESTR* out) {
    auto* p = static_cast<LPOLESTR>(CoTaskMemAlloc((s.size() + 1) * sizeof(OLECHAR)));
    if (!p)
        return E_OUTOFMEMORY;
    std::memcpy(p, s.data(), s.size() * sizeof(OLECHAR));
    p[s.size()] = u'\0';
    *out = p;
    return S_OK;
}

class FileMoniker final : public IMoniker {
  public:
    explicit FileMoniker(std::u16string path) : path_(std::move(path)) {}

    std::u16string path() const {
        std::lock_guard lock(mutex_);
        return path_;
    }

    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IPersist || riid == IID_IPersistStream ||
            riid == IID_IMoniker) {
            *ppv = static_cast<IMoniker*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return refs_.add(); }
    ULONG Release() override {
        ULONG n = refs_.release();
        if (n == 0)
            delete this;
        return n;
    }

    HRESULT GetClassID(CLSID* pClassID) override {
        if (!pClassID)
            return E_POINTER;
        *pClassID = CLSID_FileMoniker;
        return S_OK;
    }
    HRESULT IsDirty() override { return S_FALSE; }

    HRESULT Load(IStream* pStm) override {
        if (!pStm)
            return E_POINTER;
        return nv::com::detail::guarded([&]() -> HRESULT {
            BYTE header[4];
            HRESULT hr = readExact(pStm, header, sizeof header);
            if (FAILED(hr))
                return hr;
            std::uint32_t units =
                header[0] | (header[1] << 8) | (header[2] << 16) | (std::uint32_t{header[3]} << 24);
            if (units > kMaxLoadUnits)
                return STG_E_READFAULT;
            std::vector<BYTE> bytes(std::size_t{units} * 2);
            if (units) {
                hr = readExact(pStm, bytes.data(), static_cast<ULONG>(bytes.size()));
                if (FAILED(hr))
                    return hr;
            }
            std::u16string path(units, u'\0');
            for (std::uint32_t i = 0; i < units; ++i)
                path[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
            std::lock_guard lock(mutex_);
            path_ = std::move(path);
            return S_OK;
        });
    }

    HRESULT Save(IStream* pStm, BOOL fClearDirty) override {
        if (!pStm)
            return E_POINTER;
        return nv::com::detail::guarded([&]() -> HRESULT {
            std::u16string p = path();
            std::vector<BYTE> bytes(4 + p.size() * 2);
            auto units = static_cast<std::uint32_t>(p.size());
            for (int i = 0; i < 4; ++i)
                bytes[i] = static_cast<BYTE>(units >> (8 * i));
            for (std::size_t i = 0; i < p.size(); ++i) {
                bytes[4 + 2 * i] = static_cast<BYTE>(p[i] & 0xFF);
                bytes[5 + 2 * i] = static_cast<BYTE>(p[i] >> 8);
            }
            return writeExact(pStm, bytes.data(), static_cast<ULONG>(bytes.size()));
        });
    }

    HRESULT GetSizeMax(ULARGE_INTEGER* pcbSize) override {
        if (!pcbSize)
            return E_POINTER;
        pcbSize->QuadPart = 4 + 2 * ULONGLONG{path().size()};
        return S_OK;
    }

    HRESULT BindToObject(IBindCtx*, IMoniker* pmkToLeft, REFIID riidResult,
                         void** ppvResult) override {
        if (!ppvResult)
            return E_POINTER;
        *ppvResult = nullptr;
        if (pmkToLeft)
            return E_NOTIMPL;
        nv::com::ComPtr<IRunningObjectTable> rot;
        HRESULT hr = GetRunningObjectTable(0, rot.put());
        if (FAILED(hr))
            return hr;
        nv::com::ComPtr<IUnknown> object;
        hr = rot->GetObject(this, object.put());
        if (FAILED(hr))
            return hr;
        return object->QueryInterface(riidResult, ppvResult);
    }
    HRESULT BindToStorage(IBindCtx*, IMoniker*, REFIID, void** ppvObj) override {
        if (ppvObj)
            *ppvObj = nullptr;
        return E_NOTIMPL;
    }
    HRESULT Reduce(IBindCtx*, DWORD, IMoniker**, IMoniker** ppmkReduced) override {
        if (!ppmkReduced)
            return E_POINTER;
        AddRef();
        *ppmkReduced = this;
        return MK_S_REDUCED_TO_SELF;
    }
    HRESULT ComposeWith(IMoniker*, BOOL, IMoniker** ppmkComposite) override {
        if (ppmkComposite)
            *ppmkComposite = nullptr;
        return E_NOTIMPL;
    }
    HRESULT Enum(BOOL, IEnumMoniker** ppenumMoniker) override {
        if (!ppenumMoniker)
            return E_POINTER;
        *ppenumMoniker = nullptr;  // a file moniker has no parts
        return S_OK;
    }

    HRESULT IsEqual(IMoniker* other) override {
        if (!other)
            return S_FALSE;
        if (other == this)
            return S_OK;
        CLSID clsid;
        if (FAILED(other->GetClassID(&clsid)) || clsid != CLSID_FileMoniker)
            return S_FALSE;
        LPOLESTR name = nullptr;
        if (FAILED(other->GetDisplayName(nullptr, nullptr, &name)))
            return S_FALSE;
        bool equal = false;
        HRESULT hr = nv::com::detail::guarded([&] {
            equal = nv::text::equalsIgnoreCase(path(), nv::text::view(name));
            return S_OK;
        });
        CoTaskMemFree(name);
        if (FAILED(hr))
            return hr;
        return equal ? S_OK : S_FALSE;
    }

    HRESULT Hash(DWORD* pdwHash) override {
        if (!pdwHash)
            return E_POINTER;
        return nv::com::detail::guarded([&] {
            DWORD h = 2166136261u;  // FNV-1a over the upper-cased units
            for (char16_t c : path()) {
                char16_t u = nv::text::toUpper(c);
                h = (h ^ (u & 0xFF)) * 16777619u;
                h = (h ^ (u >> 8)) * 16777619u;
            }
            *pdwHash = h;
            return S_OK;
        });
    }

    HRESULT IsRunning(IBindCtx*, IMoniker* pmkToLeft, IMoniker* pmkNewlyRunning) override {
        if (pmkToLeft)
            return E_NOTIMPL;
        if (pmkNewlyRunning)
            return IsEqual(pmkNewlyRunning);
        nv::com::ComPtr<IRunningObjectTable> rot;
        HRESULT hr = GetRunningObjectTable(0, rot.put());
        if (FAILED(hr))
            return hr;
        return rot->IsRunning(this);
    }

    HRESULT GetTimeOfLastChange(IBindCtx*, IMoniker* pmkToLeft, FILETIME* pFileTime) override {
        if (!pFileTime)
            return E_POINTER;
        if (pmkToLeft)
            return E_NOTIMPL;
        nv::com::ComPtr<IRunningObjectTable> rot;
        if (SUCCEEDED(GetRunningObjectTable(0, rot.put())) &&
            SUCCEEDED(rot->GetTimeOfLastChange(this, pFileTime)))
            return S_OK;
        return nv::com::detail::guarded([&]() -> HRESULT {
            struct stat st;
            if (::stat(nv::text::utf16ToUtf8(path()).c_str(), &st) != 0)
                return MK_E_NOOBJECT;
            std::uint64_t ticks =
                static_cast<std::uint64_t>(st.st_mtim.tv_sec + kFileTimeEpochOffset) * 10000000u +
                static_cast<std::uint64_t>(st.st_mtim.tv_nsec) / 100;
            pFileTime->dwLowDateTime = static_cast<DWORD>(ticks);
            pFileTime->dwHighDateTime = static_cast<DWORD>(ticks >> 32);
            return S_OK;
        });
    }

    HRESULT Inverse(IMoniker** ppmk) override {
        if (ppmk)
            *ppmk = nullptr;
        return E_NOTIMPL;
    }
    HRESULT CommonPrefixWith(IMoniker*, IMoniker** ppmkPrefix) override {
        if (ppmkPrefix)
            *ppmkPrefix = nullptr;
        return E_NOTIMPL;
    }
    HRESULT RelativePathTo(IMoniker*, IMoniker** ppmkRelPath) override {
        if (ppmkRelPath)
            *ppmkRelPath = nullptr;
        return E_NOTIMPL;
    }

    HRESULT GetDisplayName(IBindCtx*, IMoniker*, LPOLESTR* ppszDisplayName) override {
        if (!ppszDisplayName)
            return E_POINTER;
        *ppszDisplayName = nullptr;
        return nv::com::detail::guarded([&] { return copyToTaskMem(path(), ppszDisplayName); });
    }
    HRESULT ParseDisplayName(IBindCtx*, IMoniker*, LPOLESTR, ULONG* pchEaten,
                             IMoniker** ppmkOut) override {
        if (pchEaten)
            *pchEaten = 0;
        if (ppmkOut)
            *ppmkOut = nullptr;
        return E_NOTIMPL;
    }
    HRESULT IsSystemMoniker(DWORD* pdwMksys) override {
        if (!pdwMksys)
            return E_POINTER;
        *pdwMksys = MKSYS_FILEMONIKER;
        return S_OK;
    }

  private:
    nv::com::detail::RefCount refs_;
    mutable std::mutex mutex_;  // Load may replace the path while others read it
    std::u16string path_;
};

}  // namespace

namespace nv::com::detail {

void createFileMoniker(std::u16string path, IMoniker** out) {
    *out = new FileMoniker(std::move(path));
}

}  // namespace nv::com::detail

extern "C" {

HRESULT CreateFileMoniker(LPCOLESTR lpszPathName, LPMONIKER* ppmk) noexcept {
    if (!ppmk)
        return E_INVALIDARG;
    *ppmk = nullptr;
    if (!lpszPathName)
        return E_INVALIDARG;
    return nv::com::detail::guarded([&] {
        nv::com::detail::createFileMoniker(std::u16string(nv::text::view(lpszPathName)), ppmk);
        return S_OK;
    });
}

}  // extern "C"
