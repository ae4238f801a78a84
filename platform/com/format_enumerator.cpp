// FORMATETC copies and the enumerator of CreateFormatEnumerator.
#include <cstring>
#include <new>
#include <vector>

#include "platform/com/data_object.h"
#include "platform/com/guard.h"
#include "platform/com/object_base.h"
#include "platform/com/task_memory.h"

namespace nv::com {

bool copyFormatEtc(FORMATETC& out, const FORMATETC& in) {
    out = in;
    out.ptd = nullptr;
    if (!in.ptd)
        return true;
    DWORD size = in.ptd->tdSize < sizeof(DVTARGETDEVICE) ? sizeof(DVTARGETDEVICE) : in.ptd->tdSize;
    auto* ptd = static_cast<DVTARGETDEVICE*>(CoTaskMemAlloc(size));
    if (!ptd)
        return false;
    std::memset(ptd, 0, size);
    std::memcpy(ptd, in.ptd, in.ptd->tdSize < size ? in.ptd->tdSize : size);
    out.ptd = ptd;
    return true;
}

}  // namespace nv::com

namespace {

// Owns its formats' target devices.
class FormatEnumerator final : public IEnumFORMATETC {
  public:
    FormatEnumerator() = default;
    FormatEnumerator(const FormatEnumerator&) = delete;
    FormatEnumerator& operator=(const FormatEnumerator&) = delete;
    ~FormatEnumerator() {
        for (FORMATETC& f : formats_)
            CoTaskMemFree(f.ptd);
    }

    // Appends a deep copy; throws std::bad_alloc.
    void add(const FORMATETC& f) {
        formats_.reserve(formats_.size() + 1);
        FORMATETC copy;
        if (!nv::com::copyFormatEtc(copy, f))
            throw std::bad_alloc();
        formats_.push_back(copy);
    }

    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IEnumFORMATETC) {
            *ppv = static_cast<IEnumFORMATETC*>(this);
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

    HRESULT Next(ULONG celt, FORMATETC* rgelt, ULONG* pceltFetched) override {
        if (pceltFetched)
            *pceltFetched = 0;
        if (!rgelt || (celt > 1 && !pceltFetched))
            return E_INVALIDARG;
        ULONG fetched = 0;
        while (fetched < celt && next_ < formats_.size()) {
            if (!nv::com::copyFormatEtc(rgelt[fetched], formats_[next_])) {
                for (ULONG i = 0; i < fetched; ++i)
                    CoTaskMemFree(rgelt[i].ptd);
                return E_OUTOFMEMORY;
            }
            ++fetched;
            ++next_;
        }
        if (pceltFetched)
            *pceltFetched = fetched;
        return fetched == celt ? S_OK : S_FALSE;
    }
    HRESULT Skip(ULONG celt) override {
        std::size_t left = formats_.size() - next_;
        next_ += celt < left ? celt : left;
        return celt <= left ? S_OK : S_FALSE;
    }
    HRESULT Reset() override {
        next_ = 0;
        return S_OK;
    }
    HRESULT Clone(IEnumFORMATETC** ppenum) override {
        if (!ppenum)
            return E_INVALIDARG;
        *ppenum = nullptr;
        return nv::com::detail::guarded([&]() -> HRESULT {
            auto* clone = new FormatEnumerator;
            try {
                for (const FORMATETC& f : formats_)
                    clone->add(f);
            } catch (...) {
                clone->Release();
                throw;
            }
            clone->next_ = next_;
            *ppenum = clone;
            return S_OK;
        });
    }

  private:
    nv::com::detail::RefCount refs_;
    std::vector<FORMATETC> formats_;
    std::size_t next_ = 0;
};

}  // namespace

extern "C" {

HRESULT CreateFormatEnumerator(UINT cfmtetc, FORMATETC* rgfmtetc,
                               IEnumFORMATETC** ppenumfmtetc) noexcept {
    if (!ppenumfmtetc || (cfmtetc && !rgfmtetc))
        return E_INVALIDARG;
    *ppenumfmtetc = nullptr;
    return nv::com::detail::guarded([&]() -> HRESULT {
        auto* e = new FormatEnumerator;
        try {
            for (UINT i = 0; i < cfmtetc; ++i)
                e->add(rgfmtetc[i]);
        } catch (...) {
            e->Release();
            throw;
        }
        *ppenumfmtetc = e;
        return S_OK;
    });
}

}  // extern "C"
