// The calling thread's last Win32 error, set by the Global* memory functions.
#pragma once

#include "platform/com/types.h"
#include "platform/export.h"

extern "C" {

NV_PLATFORM_API DWORD GetLastError() noexcept;
NV_PLATFORM_API void SetLastError(DWORD dwErrCode) noexcept;

}  // extern "C"
