// Keeps C++ exceptions from crossing a COM boundary (C-linkage functions and interface
// methods): allocation failure becomes E_OUTOFMEMORY, anything else E_UNEXPECTED.
#pragma once

#include <new>

#include "platform/com/types.h"

namespace nv::com::detail {

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

}  // namespace nv::com::detail
