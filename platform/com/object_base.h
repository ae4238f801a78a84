// Reference counting for the COM objects this runtime implements. Internal to platform/com.
#pragma once

#include <atomic>

#include "platform/com/types.h"

namespace nv::com::detail {

// Thread-safe count starting at 1 (the creator's reference).
class RefCount {
  public:
    ULONG add() { return count_.fetch_add(1, std::memory_order_relaxed) + 1; }
    // Returns the new count; the caller deletes the object at 0.
    ULONG release() { return count_.fetch_sub(1, std::memory_order_acq_rel) - 1; }

  private:
    std::atomic<ULONG> count_{1};
};

}  // namespace nv::com::detail
