#include "platform/com/task_memory.h"

#include <cstdlib>

extern "C" {

LPVOID CoTaskMemAlloc(SIZE_T cb) noexcept {
    return std::malloc(cb ? cb : 1);
}

LPVOID CoTaskMemRealloc(LPVOID pv, SIZE_T cb) noexcept {
    if (!pv)
        return CoTaskMemAlloc(cb);
    if (cb == 0) {
        std::free(pv);
        return nullptr;
    }
    return std::realloc(pv, cb);
}

void CoTaskMemFree(LPVOID pv) noexcept {
    std::free(pv);
}

}  // extern "C"
