// The standard data advise holder of CreateDataAdviseHolder, and its STATDATA enumerator.
#include <mutex>
#include <new>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/com/data_object.h"
#include "platform/com/guard.h"
#include "platform/com/object_base.h"
#include "platform/com/task_memory.h"

namespace {

using nv::com::ComPtr;

// One connection; owns the target device of its format and a reference to its sink.
struct Connection {
    FORMATETC format{};
    DWORD advf = 0;
    ComPtr<IAdviseSink> sink;
    DWORD id = 0;

    Connection() = default;
    Connection(const Connection& o) : advf(o.advf), sink(o.sink), id(o.id) {
        if (!nv::com::copyFormatEtc(format, o.format))
            throw std::bad_alloc();
    }
    Connection(Connection&& o) noexcept
        : format(o.format), advf(o.advf), sink(std::move(o.sink)), id(o.id) {
        o.format.ptd = nullptr;
    }
    Connection& operator=(Connection&& o) noexcept {
        if (this != &o) {
            CoTaskMemFree(format.ptd);
            format = o.format;
            o.format.ptd = nullptr;
            advf = o.advf;
            sink = std::move(o.sink);
            id = o.id;
        }
        return *this;
    }
    Connection& operator=(const Connection&) = delete;
    ~Connection() { CoTaskMemFree(format.ptd); }
};

class StatDataEnumerator final : public IEnumSTATDATA {
  public:
    explicit StatDataEnumerator(std::vector<Connection> items) : items_(std::move(items)) {}

    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IEnumSTATDATA) {
            *ppv = static_cast<IEnumSTATDATA*>(this);
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

    HRESULT Next(ULONG celt, STATDATA* rgelt, ULONG* pceltFetched) override {
        if (pceltFetched)
            *pceltFetched = 0;
        if (!rgelt || (celt > 1 && !pceltFetched))
            return E_INVALIDARG;
        ULONG fetched = 0;
        while (fetched < celt && next_ < items_.size()) {
            const Connection& c = items_[next_];
            STATDATA& out = rgelt[fetched];
            if (!nv::com::copyFormatEtc(out.formatetc, c.format)) {
                for (ULONG i = 0; i < fetched; ++i) {
                    CoTaskMemFree(rgelt[i].formatetc.ptd);
                    if (rgelt[i].pAdvSink)
                        rgelt[i].pAdvSink->Release();
                }
                return E_OUTOFMEMORY;
            }
            out.advf = c.advf;
            c.sink.copyTo(&out.pAdvSink);
            out.dwConnection = c.id;
            ++fetched;
            ++next_;
        }
        if (pceltFetched)
            *pceltFetched = fetched;
        return fetched == celt ? S_OK : S_FALSE;
    }
    HRESULT Skip(ULONG celt) override {
        std::size_t left = items_.size() - next_;
        next_ += celt < left ? celt : left;
        return celt <= left ? S_OK : S_FALSE;
    }
    HRESULT Reset() override {
        next_ = 0;
        return S_OK;
    }
    HRESULT Clone(IEnumSTATDATA** ppenum) override {
        if (!ppenum)
            return E_INVALIDARG;
        *ppenum = nullptr;
        return nv::com::detail::guarded([&]() -> HRESULT {
            auto* clone = new StatDataEnumerator(items_);
            clone->next_ = next_;
            *ppenum = clone;
            return S_OK;
        });
    }

  private:
    nv::com::detail::RefCount refs_;
    std::vector<Connection> items_;
    std::size_t next_ = 0;
};

class DataAdviseHolder final : public IDataAdviseHolder {
  public:
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDataAdviseHolder) {
            *ppv = static_cast<IDataAdviseHolder*>(this);
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

    HRESULT Advise(IDataObject* pDataObject, FORMATETC* pFetc, DWORD advf, IAdviseSink* pAdvise,
                   DWORD* pdwConnection) override {
        if (pdwConnection)
            *pdwConnection = 0;
        if (!pFetc || !pAdvise || !pdwConnection)
            return E_INVALIDARG;
        return nv::com::detail::guarded([&]() -> HRESULT {
            Connection c;
            if (!nv::com::copyFormatEtc(c.format, *pFetc))
                return E_OUTOFMEMORY;
            c.advf = advf;
            c.sink = ComPtr<IAdviseSink>(pAdvise);
            {
                std::lock_guard lock(mutex_);
                c.id = nextId_++;
                connections_.push_back(c);
            }
            *pdwConnection = c.id;
            if ((advf & ADVF_PRIMEFIRST) && pDataObject)
                notify(pDataObject, c, 0);
            return S_OK;
        });
    }

    HRESULT Unadvise(DWORD dwConnection) override {
        Connection doomed;  // released after the lock
        std::lock_guard lock(mutex_);
        for (auto it = connections_.begin(); it != connections_.end(); ++it) {
            if (it->id == dwConnection) {
                doomed = std::move(*it);
                connections_.erase(it);
                return S_OK;
            }
        }
        return OLE_E_NOCONNECTION;
    }

    HRESULT EnumAdvise(IEnumSTATDATA** ppenumAdvise) override {
        if (!ppenumAdvise)
            return E_INVALIDARG;
        *ppenumAdvise = nullptr;
        return nv::com::detail::guarded([&]() -> HRESULT {
            *ppenumAdvise = new StatDataEnumerator(snapshot());
            return S_OK;
        });
    }

    HRESULT SendOnDataChange(IDataObject* pDataObject, DWORD dwReserved, DWORD advf) override {
        return nv::com::detail::guarded([&]() -> HRESULT {
            for (const Connection& c : snapshot())
                notify(pDataObject, c, advf);
            return S_OK;
        });
    }

  private:
    std::vector<Connection> snapshot() {
        std::lock_guard lock(mutex_);
        return connections_;
    }

    // Sends one notification with no lock held; sinks may call back into the holder.
    void notify(IDataObject* data, const Connection& c, DWORD advf) {
        STGMEDIUM medium{};
        medium.tymed = TYMED_NULL;
        FORMATETC format = c.format;
        if (!((c.advf | advf) & ADVF_NODATA)) {
            if (!data || FAILED(data->GetData(&format, &medium)))
                return;
        }
        c.sink->OnDataChange(&format, &medium);
        ReleaseStgMedium(&medium);
        if (c.advf & ADVF_ONLYONCE)
            Unadvise(c.id);
    }

    nv::com::detail::RefCount refs_;
    std::mutex mutex_;
    std::vector<Connection> connections_;
    DWORD nextId_ = 1;
};

}  // namespace

extern "C" {

HRESULT CreateDataAdviseHolder(LPDATAADVISEHOLDER* ppDAHolder) noexcept {
    if (!ppDAHolder)
        return E_INVALIDARG;
    *ppDAHolder = nullptr;
    return nv::com::detail::guarded([&]() -> HRESULT {
        *ppDAHolder = new DataAdviseHolder;
        return S_OK;
    });
}

}  // extern "C"
