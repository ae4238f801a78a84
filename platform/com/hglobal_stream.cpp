// The memory stream of CreateStreamOnHGlobal.
#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

#include "platform/com/global_memory.h"
#include "platform/com/guard.h"
#include "platform/com/object_base.h"
#include "platform/com/stream.h"

namespace {

// Identifies streams of this file to GetHGlobalFromStream; never handed out.
constexpr IID kIidHGlobalStream = {
    0x6B3F2C1A, 0x8E4D, 0x4F7B, {0x9A, 0x21, 0x5C, 0x0D, 0x3E, 0x8F, 0x7A, 0x14}};
constexpr ULONGLONG kMaxSize = 0xFFFFFFFFull;
constexpr ULONG kCopyChunk = 64 * 1024;

// The block shared by a stream and its clones.
struct SharedBlock {
    std::mutex mutex;
    HGLOBAL handle = nullptr;
    bool deleteOnRelease = false;

    ~SharedBlock() {
        if (deleteOnRelease)
            GlobalFree(handle);
    }
};

class HGlobalStream final : public IStream {
  public:
    HGlobalStream(std::shared_ptr<SharedBlock> block, ULONGLONG position)
        : block_(std::move(block)), position_(position) {}

    HGLOBAL handle() const {
        std::lock_guard lock(block_->mutex);
        return block_->handle;
    }

    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_ISequentialStream || riid == IID_IStream ||
            riid == kIidHGlobalStream) {
            *ppv = static_cast<IStream*>(this);
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

    HRESULT Read(void* pv, ULONG cb, ULONG* pcbRead) override {
        if (pcbRead)
            *pcbRead = 0;
        if (!pv)
            return STG_E_INVALIDPOINTER;
        std::lock_guard lock(block_->mutex);
        SIZE_T size = GlobalSize(block_->handle);
        ULONG n = 0;
        if (position_ < size) {
            n = static_cast<ULONG>(std::min<ULONGLONG>(cb, size - position_));
            auto* data = static_cast<const char*>(GlobalLock(block_->handle));
            if (!data)
                return STG_E_READFAULT;
            std::memcpy(pv, data + position_, n);
            GlobalUnlock(block_->handle);
            position_ += n;
        }
        if (pcbRead)
            *pcbRead = n;
        return S_OK;
    }

    HRESULT Write(const void* pv, ULONG cb, ULONG* pcbWritten) override {
        if (pcbWritten)
            *pcbWritten = 0;
        if (!pv)
            return STG_E_INVALIDPOINTER;
        if (cb == 0)
            return S_OK;
        std::lock_guard lock(block_->mutex);
        ULONGLONG end = position_ + cb;
        if (end > kMaxSize)
            return STG_E_MEDIUMFULL;
        if (end > GlobalSize(block_->handle) && !resizeLocked(end))
            return STG_E_MEDIUMFULL;
        auto* data = static_cast<char*>(GlobalLock(block_->handle));
        if (!data)
            return STG_E_WRITEFAULT;
        std::memcpy(data + position_, pv, cb);
        GlobalUnlock(block_->handle);
        position_ = end;
        if (pcbWritten)
            *pcbWritten = cb;
        return S_OK;
    }

    HRESULT Seek(LARGE_INTEGER dlibMove, DWORD dwOrigin, ULARGE_INTEGER* plibNewPosition) override {
        std::lock_guard lock(block_->mutex);
        LONGLONG base = 0;
        switch (dwOrigin) {
            case STREAM_SEEK_SET:
                base = 0;
                break;
            case STREAM_SEEK_CUR:
                base = static_cast<LONGLONG>(position_);
                break;
            case STREAM_SEEK_END:
                base = static_cast<LONGLONG>(GlobalSize(block_->handle));
                break;
            default:
                return STG_E_INVALIDFUNCTION;
        }
        LONGLONG target = 0;
        if (__builtin_add_overflow(base, dlibMove.QuadPart, &target) || target < 0)
            return STG_E_SEEKERROR;
        position_ = static_cast<ULONGLONG>(target);
        if (plibNewPosition)
            plibNewPosition->QuadPart = position_;
        return S_OK;
    }

    HRESULT SetSize(ULARGE_INTEGER libNewSize) override {
        if (libNewSize.QuadPart > kMaxSize)
            return STG_E_INVALIDFUNCTION;
        std::lock_guard lock(block_->mutex);
        return resizeLocked(libNewSize.QuadPart) ? S_OK : STG_E_MEDIUMFULL;
    }

    HRESULT CopyTo(IStream* pstm, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead,
                   ULARGE_INTEGER* pcbWritten) override {
        if (pcbRead)
            pcbRead->QuadPart = 0;
        if (pcbWritten)
            pcbWritten->QuadPart = 0;
        if (!pstm)
            return STG_E_INVALIDPOINTER;
        return nv::com::detail::guarded([&]() -> HRESULT {
            std::vector<char> chunk(kCopyChunk);
            ULONGLONG remaining = cb.QuadPart;
            while (remaining > 0) {
                ULONG got = 0;
                HRESULT hr =
                    Read(chunk.data(),
                         static_cast<ULONG>(std::min<ULONGLONG>(remaining, kCopyChunk)), &got);
                if (FAILED(hr))
                    return hr;
                if (got == 0)
                    break;
                if (pcbRead)
                    pcbRead->QuadPart += got;
                // The target may share this stream's block: no lock is held while writing.
                ULONG put = 0;
                hr = pstm->Write(chunk.data(), got, &put);
                if (pcbWritten)
                    pcbWritten->QuadPart += put;
                if (FAILED(hr))
                    return hr;
                remaining -= got;
            }
            return S_OK;
        });
    }

    HRESULT Commit(DWORD) override { return S_OK; }
    HRESULT Revert() override { return S_OK; }
    HRESULT LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
        return STG_E_INVALIDFUNCTION;
    }
    HRESULT UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
        return STG_E_INVALIDFUNCTION;
    }

    HRESULT Stat(STATSTG* pstatstg, DWORD grfStatFlag) override {
        if (!pstatstg)
            return STG_E_INVALIDPOINTER;
        std::memset(pstatstg, 0, sizeof *pstatstg);
        pstatstg->type = STGTY_STREAM;
        pstatstg->grfMode = STGM_READWRITE;
        std::lock_guard lock(block_->mutex);
        pstatstg->cbSize.QuadPart = GlobalSize(block_->handle);
        return S_OK;
    }

    HRESULT Clone(IStream** ppstm) override {
        if (!ppstm)
            return STG_E_INVALIDPOINTER;
        *ppstm = nullptr;
        ULONGLONG position;
        {
            std::lock_guard lock(block_->mutex);
            position = position_;
        }
        auto* clone = new (std::nothrow) HGlobalStream(block_, position);
        if (!clone)
            return E_OUTOFMEMORY;
        *ppstm = clone;
        return S_OK;
    }

  private:
    // Requires the block's mutex. A fixed block that has to move gets a new handle.
    bool resizeLocked(ULONGLONG size) {
        HGLOBAL h = GlobalReAlloc(block_->handle, static_cast<SIZE_T>(size), GMEM_MOVEABLE);
        if (!h)
            return false;
        block_->handle = h;
        return true;
    }

    nv::com::detail::RefCount refs_;
    std::shared_ptr<SharedBlock> block_;
    ULONGLONG position_;  // guarded by block_->mutex
};

}  // namespace

extern "C" {

HRESULT CreateStreamOnHGlobal(HGLOBAL hGlobal, BOOL fDeleteOnRelease, LPSTREAM* ppstm) noexcept {
    if (!ppstm)
        return E_INVALIDARG;
    *ppstm = nullptr;
    bool allocated = false;
    if (!hGlobal) {
        hGlobal = GlobalAlloc(GMEM_MOVEABLE, 0);
        if (!hGlobal)
            return E_OUTOFMEMORY;
        allocated = true;
    } else if (GlobalSize(hGlobal) == 0 && !GlobalReAlloc(hGlobal, 0, GMEM_MODIFY)) {
        return E_INVALIDARG;  // not a valid handle
    }
    HRESULT hr = nv::com::detail::guarded([&]() -> HRESULT {
        auto block = std::make_shared<SharedBlock>();
        *ppstm = new HGlobalStream(block, 0);
        // Only now does the block own the handle: a failure above leaves it to the caller.
        block->handle = hGlobal;
        block->deleteOnRelease = fDeleteOnRelease != FALSE;
        return S_OK;
    });
    if (FAILED(hr) && allocated)
        GlobalFree(hGlobal);
    return hr;
}

HRESULT GetHGlobalFromStream(LPSTREAM pstm, HGLOBAL* phglobal) noexcept {
    if (!phglobal)
        return E_INVALIDARG;
    *phglobal = nullptr;
    if (!pstm)
        return E_INVALIDARG;
    IStream* own = nullptr;
    if (FAILED(pstm->QueryInterface(kIidHGlobalStream, reinterpret_cast<void**>(&own))))
        return E_INVALIDARG;
    *phglobal = static_cast<HGlobalStream*>(own)->handle();
    own->Release();
    return S_OK;
}

}  // extern "C"
