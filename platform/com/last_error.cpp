#include "platform/com/last_error.h"

namespace {
thread_local DWORD lastError = ERROR_SUCCESS;
}

extern "C" {

DWORD GetLastError() noexcept {
    return lastError;
}

void SetLastError(DWORD dwErrCode) noexcept {
    lastError = dwErrCode;
}

}  // extern "C"
