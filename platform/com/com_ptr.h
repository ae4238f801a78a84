// ComPtr<T>: holds one reference to a COM interface and releases it on destruction.
#pragma once

#include <cstddef>
#include <utility>

#include "platform/com/unknown.h"

namespace nv::com {

template <class T>
class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes a new reference (AddRef); use attach() to adopt one the caller already owns.
    explicit ComPtr(T* p) : p_(p) {
        if (p_)
            p_->AddRef();
    }
    ComPtr(const ComPtr& o) : ComPtr(o.p_) {}
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ComPtr& operator=(const ComPtr& o) {
        if (o.p_)
            o.p_->AddRef();
        attach(o.p_);
        return *this;
    }
    ComPtr& operator=(ComPtr&& o) noexcept {
        if (this != &o)
            attach(std::exchange(o.p_, nullptr));
        return *this;
    }
    ComPtr& operator=(std::nullptr_t) {
        reset();
        return *this;
    }
    ~ComPtr() { reset(); }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

    // Adopts a reference the caller owns, releasing the current one.
    void attach(T* p) {
        T* old = std::exchange(p_, p);
        if (old)
            old->Release();
    }
    // Gives up the reference; the caller must Release it.
    T* detach() { return std::exchange(p_, nullptr); }
    void reset() { attach(nullptr); }
    // For out-parameters: releases the current reference first.
    T** put() {
        reset();
        return &p_;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }
    // Hands out a new reference (AddRef) through an out-parameter.
    HRESULT copyTo(T** out) const {
        if (!out)
            return E_POINTER;
        if (p_)
            p_->AddRef();
        *out = p_;
        return S_OK;
    }

    template <class U>
    HRESULT as(ComPtr<U>& out) const {
        if (!p_)
            return E_POINTER;
        return p_->QueryInterface(uuidOf<U>(), out.putVoid());
    }
    HRESULT queryInterface(REFIID riid, void** out) const {
        if (!p_)
            return E_POINTER;
        return p_->QueryInterface(riid, out);
    }

    friend bool operator==(const ComPtr& a, const ComPtr& b) { return a.p_ == b.p_; }
    friend bool operator==(const ComPtr& a, std::nullptr_t) { return a.p_ == nullptr; }

  private:
    T* p_ = nullptr;
};

}  // namespace nv::com
