// Keeps C++ exceptions inside the server: every COM method and export runs its body through
// guarded(), which turns allocation failure into E_OUTOFMEMORY and anything else into
// E_UNEXPECTED.
#pragma once

#include <new>

#include "platform/com/types.h"

namespace wscom {

template <class F>
HRESULT guarded(F&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

}  // namespace wscom
