// BSTR: length-prefixed UTF-16 strings owned by whoever receives them.
//
// Layout, as on Windows: a 4-byte byte count sits just before the pointer, then the UTF-16
// units, then a 2-byte NUL that the count does not include. Embedded NULs are allowed. A null
// BSTR is a valid empty string everywhere.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "platform/com/types.h"
#include "platform/export.h"

extern "C" {

// Every allocating function returns null on failure (or for a null source, SysAllocString);
// the result is freed with SysFreeString.
NV_PLATFORM_API BSTR SysAllocString(const OLECHAR* psz) noexcept;
// pch may be null: the string then holds ui units of zeros (Windows leaves them uninitialised).
NV_PLATFORM_API BSTR SysAllocStringLen(const OLECHAR* pch, UINT ui) noexcept;
// Copies len bytes (psz may be null); the units after them are zero.
NV_PLATFORM_API BSTR SysAllocStringByteLen(LPCSTR psz, UINT len) noexcept;
// Replaces *pbstr by a copy of psz (which may point into *pbstr). TRUE on success; on failure
// *pbstr is unchanged.
NV_PLATFORM_API INT SysReAllocString(BSTR* pbstr, const OLECHAR* psz) noexcept;
// Like SysReAllocString with a length; a null psz keeps the old units that fit.
NV_PLATFORM_API INT SysReAllocStringLen(BSTR* pbstr, const OLECHAR* psz, unsigned int len) noexcept;
NV_PLATFORM_API void SysFreeString(BSTR bstrString) noexcept;
// Units / bytes before the terminating NUL; 0 for null.
NV_PLATFORM_API UINT SysStringLen(BSTR pbstr) noexcept;
NV_PLATFORM_API UINT SysStringByteLen(BSTR bstr) noexcept;

}  // extern "C"

namespace nv::com {

// Sole owner of one BSTR (possibly null). Move-only.
class NV_PLATFORM_API Bstr {
  public:
    Bstr() = default;
    // Copies the text; throws std::bad_alloc when the string cannot be allocated.
    explicit Bstr(std::u16string_view text);
    explicit Bstr(const char16_t* text) : Bstr(std::u16string_view(text ? text : u"")) {}
    Bstr(Bstr&& o) noexcept : s_(o.detach()) {}
    Bstr& operator=(Bstr&& o) noexcept {
        if (this != &o)
            attach(o.detach());
        return *this;
    }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(s_); }

    static Bstr fromUtf8(std::string_view utf8);

    BSTR get() const { return s_; }
    UINT length() const { return SysStringLen(s_); }
    bool empty() const { return length() == 0; }
    explicit operator bool() const { return s_ != nullptr; }
    std::u16string_view view() const { return {s_ ? s_ : u"", length()}; }
    std::u16string str() const { return std::u16string(view()); }
    std::string utf8() const;

    // Frees the current string and takes ownership of s.
    void attach(BSTR s) {
        if (s_ != s)
            SysFreeString(s_);
        s_ = s;
    }
    // Gives up ownership; the caller frees the string.
    BSTR detach() { return std::exchange(s_, nullptr); }
    void reset() { attach(nullptr); }
    // For out-parameters: frees the current string first.
    BSTR* out() {
        reset();
        return &s_;
    }
    // A new BSTR with the same units (embedded NULs kept), owned by the caller; null for null.
    // Throws std::bad_alloc when it cannot be allocated.
    BSTR copy() const;

  private:
    BSTR s_ = nullptr;
};

}  // namespace nv::com
