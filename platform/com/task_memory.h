// The COM task allocator: blocks that cross a component boundary and are freed by the receiver.
#pragma once

#include <cstddef>

#include "platform/com/types.h"
#include "platform/export.h"

extern "C" {

// A zero-byte request still returns a distinct block. Null on failure.
NV_PLATFORM_API LPVOID CoTaskMemAlloc(SIZE_T cb) noexcept;
// Null pv allocates; cb == 0 frees pv and returns null. On failure pv is left untouched.
NV_PLATFORM_API LPVOID CoTaskMemRealloc(LPVOID pv, SIZE_T cb) noexcept;
// Null is ignored.
NV_PLATFORM_API void CoTaskMemFree(LPVOID pv) noexcept;

}  // extern "C"

namespace nv::com {

// Sole owner of one task-allocated block of T (or of a T array); frees it with CoTaskMemFree.
template <class T>
class TaskMemPtr {
  public:
    TaskMemPtr() = default;
    explicit TaskMemPtr(T* p) : p_(p) {}
    TaskMemPtr(TaskMemPtr&& o) noexcept : p_(o.detach()) {}
    TaskMemPtr& operator=(TaskMemPtr&& o) noexcept {
        if (this != &o)
            attach(o.detach());
        return *this;
    }
    TaskMemPtr(const TaskMemPtr&) = delete;
    TaskMemPtr& operator=(const TaskMemPtr&) = delete;
    ~TaskMemPtr() { CoTaskMemFree(p_); }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    T& operator[](std::size_t i) const { return p_[i]; }
    explicit operator bool() const { return p_ != nullptr; }

    // Frees the current block and takes ownership of p.
    void attach(T* p) {
        if (p_ != p)
            CoTaskMemFree(p_);
        p_ = p;
    }
    // Gives up ownership; the caller frees the block.
    T* detach() {
        T* p = p_;
        p_ = nullptr;
        return p;
    }
    void reset() { attach(nullptr); }
    // For out-parameters: frees the current block first.
    T** out() {
        reset();
        return &p_;
    }

  private:
    T* p_ = nullptr;
};

}  // namespace nv::com
