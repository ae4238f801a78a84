// Metafile handles for CF_METAFILEPICT data. There is no GDI here: a metafile is an opaque
// byte blob that a producer stores and a consumer reads back, which is all a clipboard
// round trip needs.
#pragma once

#include "platform/com/types.h"
#include "platform/export.h"

extern "C" {

// A new metafile holding a copy of the cbBuffer bytes; null on failure. Freed with
// DeleteMetaFile.
NV_PLATFORM_API HMETAFILE SetMetaFileBitsEx(UINT cbBuffer, const BYTE* lpData) noexcept;
// Returns the metafile's size when lpData is null; otherwise copies the whole metafile and
// returns its size, or 0 when cbBuffer is too small. 0 for an invalid handle.
NV_PLATFORM_API UINT GetMetaFileBitsEx(HMETAFILE hmf, UINT cbBuffer, LPVOID lpData) noexcept;
// FALSE for an invalid handle.
NV_PLATFORM_API BOOL DeleteMetaFile(HMETAFILE hmf) noexcept;

}  // extern "C"
