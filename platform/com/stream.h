// ISequentialStream / IStream, and the memory stream over an HGLOBAL.
#pragma once

#include "platform/com/unknown.h"
#include "platform/export.h"

#define STGM_DIRECT 0x00000000L
#define STGM_READ 0x00000000L
#define STGM_WRITE 0x00000001L
#define STGM_READWRITE 0x00000002L
#define STGM_SHARE_DENY_NONE 0x00000040L
#define STGM_SHARE_DENY_READ 0x00000030L
#define STGM_SHARE_DENY_WRITE 0x00000020L
#define STGM_SHARE_EXCLUSIVE 0x00000010L
#define STGM_CREATE 0x00001000L
#define STGM_TRANSACTED 0x00010000L

enum STREAM_SEEK { STREAM_SEEK_SET = 0, STREAM_SEEK_CUR = 1, STREAM_SEEK_END = 2 };
enum STGTY { STGTY_STORAGE = 1, STGTY_STREAM = 2, STGTY_LOCKBYTES = 3, STGTY_PROPERTY = 4 };
enum STATFLAG { STATFLAG_DEFAULT = 0, STATFLAG_NONAME = 1, STATFLAG_NOOPEN = 2 };
enum STGC { STGC_DEFAULT = 0, STGC_OVERWRITE = 1, STGC_ONLYIFCURRENT = 2 };
enum LOCKTYPE { LOCK_WRITE = 1, LOCK_EXCLUSIVE = 2, LOCK_ONLYONCE = 4 };

// pwcsName, when not null, is CoTaskMemAlloc'ed for the caller to free.
struct STATSTG {
    LPOLESTR pwcsName;
    DWORD type;
    ULARGE_INTEGER cbSize;
    FILETIME mtime;
    FILETIME ctime;
    FILETIME atime;
    DWORD grfMode;
    DWORD grfLocksSupported;
    CLSID clsid;
    DWORD grfStateBits;
    DWORD reserved;
};

struct ISequentialStream : public IUnknown {
    virtual HRESULT Read(void* pv, ULONG cb, ULONG* pcbRead) = 0;
    virtual HRESULT Write(const void* pv, ULONG cb, ULONG* pcbWritten) = 0;

  protected:
    ~ISequentialStream() = default;
};
NV_COM_INTERFACE_ID(ISequentialStream, IID_ISequentialStream);

struct IStream : public ISequentialStream {
    virtual HRESULT Seek(LARGE_INTEGER dlibMove, DWORD dwOrigin,
                         ULARGE_INTEGER* plibNewPosition) = 0;
    virtual HRESULT SetSize(ULARGE_INTEGER libNewSize) = 0;
    virtual HRESULT CopyTo(IStream* pstm, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead,
                           ULARGE_INTEGER* pcbWritten) = 0;
    virtual HRESULT Commit(DWORD grfCommitFlags) = 0;
    virtual HRESULT Revert() = 0;
    virtual HRESULT LockRegion(ULARGE_INTEGER libOffset, ULARGE_INTEGER cb, DWORD dwLockType) = 0;
    virtual HRESULT UnlockRegion(ULARGE_INTEGER libOffset, ULARGE_INTEGER cb, DWORD dwLockType) = 0;
    virtual HRESULT Stat(STATSTG* pstatstg, DWORD grfStatFlag) = 0;
    virtual HRESULT Clone(IStream** ppstm) = 0;

  protected:
    ~IStream() = default;
};
typedef IStream* LPSTREAM;
NV_COM_INTERFACE_ID(IStream, IID_IStream);

// Structured storage is not provided; the interface exists so STGMEDIUM can carry (and
// ReleaseStgMedium release) one.
struct IStorage : public IUnknown {
  protected:
    ~IStorage() = default;
};

extern "C" {

// *ppstm receives the caller's reference. A read/write stream over hGlobal (a new, empty
// moveable block when null), which grows as needed; its size starts at GlobalSize(hGlobal).
// With fDeleteOnRelease the block is freed when the stream and all its clones are released;
// otherwise the caller keeps owning it. Clones share the block and have their own seek position.
// Lock/UnlockRegion give STG_E_INVALIDFUNCTION; Commit and Revert do nothing. Streams larger
// than 4 GiB are refused.
NV_PLATFORM_API HRESULT CreateStreamOnHGlobal(HGLOBAL hGlobal, BOOL fDeleteOnRelease,
                                              LPSTREAM* ppstm) noexcept;
// The block under a stream made by CreateStreamOnHGlobal (E_INVALIDARG for other streams).
// It always holds exactly the stream's bytes. Ownership stays with the stream (or with the
// caller of CreateStreamOnHGlobal when fDeleteOnRelease was FALSE).
NV_PLATFORM_API HRESULT GetHGlobalFromStream(LPSTREAM pstm, HGLOBAL* phglobal) noexcept;
// The 16 bytes of a CLSID in its little-endian binary layout.
NV_PLATFORM_API HRESULT WriteClassStm(LPSTREAM pStm, REFCLSID rclsid) noexcept;
// STG_E_READFAULT when fewer than 16 bytes remain.
NV_PLATFORM_API HRESULT ReadClassStm(LPSTREAM pStm, CLSID* pclsid) noexcept;

}  // extern "C"
