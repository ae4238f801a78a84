// The process-wide OLE clipboard slot and the snapshot a flush leaves behind.
#include "platform/com/clipboard.h"

#include <cstdint>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/com/global_memory.h"
#include "platform/com/guard.h"
#include "platform/com/metafile.h"
#include "platform/com/object_base.h"
#include "platform/com/runtime_state.h"
#include "platform/com/task_memory.h"

namespace {

// A data object that enumerates forever must not hang OleSetClipboard.
constexpr std::size_t kMaxFormats = 4096;

// One rendered format: bytes (from an HGLOBAL or a stream) or a metafile picture.
struct Rendering {
    FORMATETC format{};  // no target device; tymed lists what GetData can give
    bool picture = false;
    std::vector<BYTE> bytes;
    METAFILEPICT pict{};  // hMF unused; `bytes` holds the metafile
};

HGLOBAL globalCopy(const std::vector<BYTE>& bytes) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!h)
        return nullptr;
    if (!bytes.empty()) {
        void* p = GlobalLock(h);
        std::memcpy(p, bytes.data(), bytes.size());
        GlobalUnlock(h);
    }
    return h;
}

bool readGlobal(HGLOBAL h, std::vector<BYTE>& out) {
    SIZE_T size = GlobalSize(h);
    out.assign(size, 0);
    if (size == 0)
        return true;
    const void* p = GlobalLock(h);
    if (!p)
        return false;
    std::memcpy(out.data(), p, size);
    GlobalUnlock(h);
    return true;
}

bool readStream(IStream* stm, std::vector<BYTE>& out) {
    LARGE_INTEGER zero{};
    stm->Seek(zero, STREAM_SEEK_SET, nullptr);
    out.clear();
    BYTE chunk[4096];
    for (;;) {
        ULONG got = 0;
        if (FAILED(stm->Read(chunk, sizeof chunk, &got)))
            return false;
        if (got == 0)
            return true;
        out.insert(out.end(), chunk, chunk + got);
    }
}

// Asks the object for one format in the first medium it offers that can be kept.
bool renderOne(IDataObject* object, const FORMATETC& offered, Rendering& out) {
    static constexpr DWORD kOrder[] = {TYMED_HGLOBAL, TYMED_ISTREAM, TYMED_MFPICT};
    for (DWORD tymed : kOrder) {
        if (!(offered.tymed & tymed))
            continue;
        FORMATETC request = offered;
        request.tymed = tymed;
        STGMEDIUM medium{};
        if (FAILED(object->GetData(&request, &medium)))
            continue;
        bool ok = false;
        out.format = offered;
        if (medium.tymed == TYMED_HGLOBAL) {
            ok = readGlobal(medium.hGlobal, out.bytes);
            out.format.tymed = TYMED_HGLOBAL | TYMED_ISTREAM;
        } else if (medium.tymed == TYMED_ISTREAM && medium.pstm) {
            ok = readStream(medium.pstm, out.bytes);
            out.format.tymed = TYMED_HGLOBAL | TYMED_ISTREAM;
        } else if (medium.tymed == TYMED_MFPICT) {
            auto* pict = static_cast<METAFILEPICT*>(GlobalLock(medium.hMetaFilePict));
            if (pict) {
                out.picture = true;
                out.pict = *pict;
                UINT size = GetMetaFileBitsEx(pict->hMF, 0, nullptr);
                out.bytes.assign(size, 0);
                ok = size == 0 || GetMetaFileBitsEx(pict->hMF, size, out.bytes.data()) == size;
                GlobalUnlock(medium.hMetaFilePict);
            }
            out.format.tymed = TYMED_MFPICT;
        }
        ReleaseStgMedium(&medium);
        if (ok)
            return true;
        out = Rendering{};
    }
    return false;
}

// What OleGetClipboard gives after a flush (or for an empty clipboard).
class RenderedData final : public IDataObject {
  public:
    explicit RenderedData(std::vector<Rendering> items) : items_(std::move(items)) {}

    std::vector<FORMATETC> formats() const {
        std::vector<FORMATETC> out;
        for (const Rendering& r : items_)
            out.push_back(r.format);
        return out;
    }

    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDataObject) {
            *ppv = static_cast<IDataObject*>(this);
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

    HRESULT GetData(FORMATETC* pformatetcIn, STGMEDIUM* pmedium) override {
        if (!pformatetcIn || !pmedium)
            return E_INVALIDARG;
        std::memset(pmedium, 0, sizeof *pmedium);
        const Rendering* r = nullptr;
        HRESULT hr = find(*pformatetcIn, r);
        if (FAILED(hr))
            return hr;
        DWORD wanted = pformatetcIn->tymed & r->format.tymed;
        if (r->picture) {
            HMETAFILE mf = SetMetaFileBitsEx(static_cast<UINT>(r->bytes.size()), r->bytes.data());
            HGLOBAL h = mf ? GlobalAlloc(GMEM_MOVEABLE, sizeof(METAFILEPICT)) : nullptr;
            if (!h) {
                DeleteMetaFile(mf);
                return E_OUTOFMEMORY;
            }
            auto* pict = static_cast<METAFILEPICT*>(GlobalLock(h));
            *pict = r->pict;
            pict->hMF = mf;
            GlobalUnlock(h);
            pmedium->tymed = TYMED_MFPICT;
            pmedium->hMetaFilePict = h;
            return S_OK;
        }
        HGLOBAL h = globalCopy(r->bytes);
        if (!h)
            return E_OUTOFMEMORY;
        if (wanted & TYMED_HGLOBAL) {
            pmedium->tymed = TYMED_HGLOBAL;
            pmedium->hGlobal = h;
            return S_OK;
        }
        IStream* stm = nullptr;
        hr = CreateStreamOnHGlobal(h, TRUE, &stm);
        if (FAILED(hr)) {
            GlobalFree(h);
            return hr;
        }
        pmedium->tymed = TYMED_ISTREAM;
        pmedium->pstm = stm;
        return S_OK;
    }
    HRESULT GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT QueryGetData(FORMATETC* pformatetc) override {
        if (!pformatetc)
            return E_INVALIDARG;
        const Rendering* r = nullptr;
        return find(*pformatetc, r);
    }
    HRESULT GetCanonicalFormatEtc(FORMATETC*, FORMATETC* pformatetcOut) override {
        if (pformatetcOut)
            pformatetcOut->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT EnumFormatEtc(DWORD dwDirection, IEnumFORMATETC** ppenumFormatEtc) override {
        if (!ppenumFormatEtc)
            return E_INVALIDARG;
        *ppenumFormatEtc = nullptr;
        if (dwDirection != DATADIR_GET)
            return E_NOTIMPL;
        return nv::com::detail::guarded([&] {
            std::vector<FORMATETC> f = formats();
            return CreateFormatEnumerator(static_cast<UINT>(f.size()), f.data(), ppenumFormatEtc);
        });
    }
    HRESULT DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD* pdwConnection) override {
        if (pdwConnection)
            *pdwConnection = 0;
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT EnumDAdvise(IEnumSTATDATA** ppenumAdvise) override {
        if (ppenumAdvise)
            *ppenumAdvise = nullptr;
        return OLE_E_ADVISENOTSUPPORTED;
    }

  private:
    HRESULT find(const FORMATETC& f, const Rendering*& out) const {
        bool formatSeen = false;
        for (const Rendering& r : items_) {
            if (r.format.cfFormat != f.cfFormat)
                continue;
            formatSeen = true;
            if (r.format.dwAspect != f.dwAspect)
                continue;
            if (f.lindex != -1 && f.lindex != r.format.lindex)
                continue;
            if (!(f.tymed & r.format.tymed))
                return DV_E_TYMED;
            out = &r;
            return S_OK;
        }
        return formatSeen ? DV_E_DVASPECT : DV_E_FORMATETC;
    }

    nv::com::detail::RefCount refs_;
    const std::vector<Rendering> items_;
};

struct Clipboard {
    std::mutex mutex;
    IDataObject* object = nullptr;    // a reference the clipboard owns while set
    std::thread::id owner;            // the thread that set `object`
    std::vector<FORMATETC> formats;   // what is offered now; no target devices
    IDataObject* rendered = nullptr;  // a reference to the snapshot of the last flush
    std::uint64_t generation = 0;     // bumped on every change of contents
};

// Never destroyed: see clipboard.h about objects left on the clipboard at exit.
Clipboard& clipboard() {
    static Clipboard* instance = new Clipboard;
    return *instance;
}

HRESULT collectFormats(IDataObject* object, std::vector<FORMATETC>& out) {
    IEnumFORMATETC* e = nullptr;
    HRESULT hr = object->EnumFormatEtc(DATADIR_GET, &e);
    if (FAILED(hr))
        return hr;
    if (!e)
        return S_OK;
    FORMATETC f;
    ULONG got = 0;
    try {
        while (out.size() < kMaxFormats && e->Next(1, &f, &got) == S_OK && got == 1) {
            CoTaskMemFree(f.ptd);
            f.ptd = nullptr;
            out.push_back(f);
        }
    } catch (...) {
        e->Release();
        throw;
    }
    e->Release();
    return S_OK;
}

HRESULT setClipboard(IDataObject* object) {
    std::vector<FORMATETC> formats;
    if (object) {
        HRESULT hr = collectFormats(object, formats);
        if (FAILED(hr))
            return hr;
        object->AddRef();
    }
    Clipboard& c = clipboard();
    IDataObject* oldObject;
    IDataObject* oldRendered;
    {
        std::lock_guard lock(c.mutex);
        oldObject = c.object;
        oldRendered = c.rendered;
        c.object = object;
        c.rendered = nullptr;
        c.formats.swap(formats);
        c.owner = std::this_thread::get_id();
        ++c.generation;
    }
    // Released without the lock: a dying object may use the clipboard.
    if (oldObject)
        oldObject->Release();
    if (oldRendered)
        oldRendered->Release();
    return S_OK;
}

HRESULT flushClipboard() {
    Clipboard& c = clipboard();
    IDataObject* object;
    std::vector<FORMATETC> formats;
    std::uint64_t generation;
    {
        std::lock_guard lock(c.mutex);
        if (!c.object)
            return S_OK;
        object = c.object;
        c.object = nullptr;
        formats.swap(c.formats);
        generation = ++c.generation;
    }
    RenderedData* snapshot = nullptr;
    HRESULT hr = nv::com::detail::guarded([&] {
        std::vector<Rendering> items;
        for (const FORMATETC& f : formats) {
            Rendering r;
            if (renderOne(object, f, r))
                items.push_back(std::move(r));
        }
        snapshot = new RenderedData(std::move(items));
        return S_OK;
    });
    object->Release();
    if (FAILED(hr))
        return hr;
    bool kept = false;
    HRESULT stored = nv::com::detail::guarded([&] {
        std::vector<FORMATETC> offered = snapshot->formats();
        std::lock_guard lock(c.mutex);
        if (c.generation == generation && !c.object) {
            c.rendered = snapshot;
            c.formats.swap(offered);
            kept = true;
        }
        return S_OK;
    });
    if (!kept)
        snapshot->Release();  // the clipboard changed meanwhile
    return stored;
}

}  // namespace

namespace nv::com::detail {

bool clipboardOwnedByCurrentThread() {
    Clipboard& c = clipboard();
    std::lock_guard lock(c.mutex);
    return c.object && c.owner == std::this_thread::get_id();
}

}  // namespace nv::com::detail

extern "C" {

HRESULT OleSetClipboard(LPDATAOBJECT pDataObj) noexcept {
    if (!nv::com::detail::comInitialized())
        return CO_E_NOTINITIALIZED;
    return nv::com::detail::guarded([&] { return setClipboard(pDataObj); });
}

HRESULT OleGetClipboard(LPDATAOBJECT* ppDataObj) noexcept {
    if (!ppDataObj)
        return E_INVALIDARG;
    *ppDataObj = nullptr;
    if (!nv::com::detail::comInitialized())
        return CO_E_NOTINITIALIZED;
    Clipboard& c = clipboard();
    {
        std::lock_guard lock(c.mutex);
        IDataObject* current = c.object ? c.object : c.rendered;
        if (current) {
            current->AddRef();
            *ppDataObj = current;
            return S_OK;
        }
    }
    return nv::com::detail::guarded([&] {
        *ppDataObj = new RenderedData({});
        return S_OK;
    });
}

HRESULT OleIsCurrentClipboard(LPDATAOBJECT pDataObj) noexcept {
    if (!pDataObj)
        return S_FALSE;
    Clipboard& c = clipboard();
    std::lock_guard lock(c.mutex);
    return c.object == pDataObj ? S_OK : S_FALSE;
}

HRESULT OleFlushClipboard() noexcept {
    if (!nv::com::detail::comInitialized())
        return CO_E_NOTINITIALIZED;
    return flushClipboard();
}

BOOL IsClipboardFormatAvailable(UINT format) noexcept {
    Clipboard& c = clipboard();
    std::lock_guard lock(c.mutex);
    for (const FORMATETC& f : c.formats)
        if (f.cfFormat == format)
            return TRUE;
    return FALSE;
}

}  // extern "C"
