// GUID text conversion and generation.
#pragma once

#include <string>
#include <string_view>

#include "platform/com/types.h"
#include "platform/export.h"

extern "C" {

// Braced form only, "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", any hex case. A null string gives
// CLSID_NULL. A string that does not start with "{" is looked up as a ProgID, as Windows does;
// anything else that does not parse gives CO_E_CLASSSTRING (and CLSID_NULL in *pclsid).
NV_PLATFORM_API HRESULT CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid) noexcept;
// Same braced form; a malformed string gives E_INVALIDARG. A null string gives IID_NULL.
NV_PLATFORM_API HRESULT IIDFromString(LPCOLESTR lpsz, LPIID lpiid) noexcept;
// Writes the upper-case braced form. Returns the characters written including the NUL (39), or
// 0 when cchMax is smaller than that.
NV_PLATFORM_API int StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax) noexcept;
// *lplpsz is allocated with CoTaskMemAlloc; the caller frees it with CoTaskMemFree.
NV_PLATFORM_API HRESULT StringFromCLSID(REFCLSID rclsid, LPOLESTR* lplpsz) noexcept;
NV_PLATFORM_API HRESULT StringFromIID(REFIID rclsid, LPOLESTR* lplpsz) noexcept;
// A random (version 4, RFC 4122 variant) GUID from the kernel's random source.
NV_PLATFORM_API HRESULT CoCreateGuid(GUID* pguid) noexcept;

}  // extern "C"

namespace nv::com {

// Upper-case braced form, as StringFromGUID2 writes it.
NV_PLATFORM_API std::u16string toString(const GUID& guid);
// Accepts the braced form and, for C++ callers' convenience, the bare 36-character form.
// On failure `out` is left unchanged.
NV_PLATFORM_API bool parseGuid(std::u16string_view text, GUID& out);

}  // namespace nv::com
