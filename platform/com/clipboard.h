// The process-wide OLE clipboard and clipboard format names.
//
// One slot holds a data object. OleSetClipboard enumerates its formats at once
// (EnumFormatEtc(DATADIR_GET)), as Windows does, and remembers them for
// IsClipboardFormatAvailable. OleFlushClipboard renders the data (HGLOBAL, stream and
// metafile-picture formats) into a snapshot the clipboard keeps, then releases the object.
// OleGetClipboard, like Windows, always succeeds on an initialised thread: it gives the object
// itself while set, the rendered snapshot after a flush, and an object offering no formats when
// the clipboard is empty. Set, get and flush need an initialised thread (CO_E_NOTINITIALIZED).
// An object still on the clipboard at exit is never released: its library may already be
// finalised by then. Call OleFlushClipboard or OleSetClipboard(nullptr) before unloading.
#pragma once

#include "platform/com/data_object.h"
#include "platform/export.h"

extern "C" {

// AddRefs pDataObj and releases the previous object; null empties the clipboard. When the
// object's EnumFormatEtc fails, that error is returned and the clipboard is unchanged.
NV_PLATFORM_API HRESULT OleSetClipboard(LPDATAOBJECT pDataObj) noexcept;
// *ppDataObj is an AddRef'd reference for the caller.
NV_PLATFORM_API HRESULT OleGetClipboard(LPDATAOBJECT* ppDataObj) noexcept;
// S_OK when pDataObj is the object now on the clipboard, S_FALSE otherwise.
NV_PLATFORM_API HRESULT OleIsCurrentClipboard(LPDATAOBJECT pDataObj) noexcept;
// Renders and releases the object; S_OK also when the clipboard holds none.
NV_PLATFORM_API HRESULT OleFlushClipboard() noexcept;
// Whether the clipboard offers `format` (remembered when the object was set, or rendered).
NV_PLATFORM_API BOOL IsClipboardFormatAvailable(UINT format) noexcept;

// The id of a named format, from 0xC000; the same name in any case gives the same id. 0 for
// a null or empty name, or when the ids are used up.
NV_PLATFORM_API UINT RegisterClipboardFormatW(LPCWSTR lpszFormat) noexcept;
// Copies the name of a registered format (truncated to cchMaxCount - 1 units, NUL-terminated)
// and returns the units copied; 0 for predefined or unknown formats.
NV_PLATFORM_API int GetClipboardFormatNameW(UINT format, LPWSTR lpszFormatName,
                                            int cchMaxCount) noexcept;

}  // extern "C"
