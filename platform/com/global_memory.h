// Global memory handles (HGLOBAL), the currency of clipboard data and HGLOBAL streams.
//
// GMEM_FIXED blocks are addressed by their data pointer, which is also the handle; moveable
// blocks by an opaque handle that GlobalLock turns into a pointer. Handles are checked: a
// freed or foreign handle fails with ERROR_INVALID_HANDLE instead of corrupting memory.
// Thread-safe.
#pragma once

#include "platform/com/types.h"
#include "platform/export.h"

#define GMEM_FIXED 0x0000
#define GMEM_MOVEABLE 0x0002
#define GMEM_NOCOMPACT 0x0010
#define GMEM_NODISCARD 0x0020
#define GMEM_ZEROINIT 0x0040
#define GMEM_MODIFY 0x0080
#define GMEM_DISCARDABLE 0x0100
#define GMEM_SHARE 0x2000
#define GMEM_DDESHARE 0x2000
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)
#define GPTR (GMEM_FIXED | GMEM_ZEROINIT)

extern "C" {

// Null on failure (GetLastError tells why). New memory is always zeroed, which is what
// GMEM_ZEROINIT asks for and harmless otherwise. A moveable block may have zero bytes; it
// then cannot be locked until it is reallocated.
NV_PLATFORM_API HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes) noexcept;
// Resizes (added bytes are zeroed). A fixed block, or a locked moveable one, may move only
// when uFlags has GMEM_MOVEABLE; otherwise it must fit where it is. A moveable block resized
// to 0 bytes is discarded but its handle stays valid. GMEM_MODIFY (changing the flags) is
// accepted and changes nothing. Returns the (possibly new) handle, or null with *hMem intact.
NV_PLATFORM_API HGLOBAL GlobalReAlloc(HGLOBAL hMem, SIZE_T dwBytes, UINT uFlags) noexcept;
// Frees the block even when locked. Null on success, hMem when it is not a valid handle.
NV_PLATFORM_API HGLOBAL GlobalFree(HGLOBAL hMem) noexcept;
// Pointer to the data (the lock count of a moveable block goes up); null for an invalid
// handle or a discarded block.
NV_PLATFORM_API LPVOID GlobalLock(HGLOBAL hMem) noexcept;
// TRUE while the block stays locked; FALSE with ERROR_SUCCESS when this was the last lock,
// FALSE with ERROR_NOT_LOCKED when it was not locked. Fixed blocks always give TRUE.
NV_PLATFORM_API BOOL GlobalUnlock(HGLOBAL hMem) noexcept;
// Bytes in the block; 0 for an invalid handle.
NV_PLATFORM_API SIZE_T GlobalSize(HGLOBAL hMem) noexcept;

}  // extern "C"
