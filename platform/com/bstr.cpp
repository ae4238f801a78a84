#include "platform/com/bstr.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/text/unicode.h"

namespace {

constexpr std::size_t kPrefix = sizeof(std::uint32_t);
// Room for the prefix, a padding byte for odd byte counts and the NUL unit.
constexpr std::uint32_t kMaxBytes = 0xFFFFFFFFu - 8;

char* blockOf(BSTR s) {
    return reinterpret_cast<char*>(s) - kPrefix;
}

std::uint32_t byteLen(BSTR s) {
    std::uint32_t n;
    std::memcpy(&n, blockOf(s), sizeof n);
    return n;
}

// A block for `bytes` bytes of content; the content is left for the caller, everything after
// it (padding and NUL unit) is zeroed.
BSTR allocate(std::size_t bytes) {
    if (bytes > kMaxBytes)
        return nullptr;
    std::size_t rounded = (bytes + 1) & ~std::size_t{1};
    char* block = static_cast<char*>(std::malloc(kPrefix + rounded + sizeof(OLECHAR)));
    if (!block)
        return nullptr;
    auto n = static_cast<std::uint32_t>(bytes);
    std::memcpy(block, &n, sizeof n);
    std::memset(block + kPrefix + bytes, 0, rounded - bytes + sizeof(OLECHAR));
    return reinterpret_cast<BSTR>(block + kPrefix);
}

}  // namespace

extern "C" {

BSTR SysAllocString(const OLECHAR* psz) noexcept {
    if (!psz)
        return nullptr;
    return SysAllocStringLen(psz, static_cast<UINT>(nv::text::length(psz)));
}

BSTR SysAllocStringLen(const OLECHAR* pch, UINT ui) noexcept {
    std::size_t bytes = std::size_t{ui} * sizeof(OLECHAR);
    BSTR s = allocate(bytes);
    if (!s)
        return nullptr;
    if (pch)
        std::memcpy(s, pch, bytes);
    else
        std::memset(s, 0, bytes);
    return s;
}

BSTR SysAllocStringByteLen(LPCSTR psz, UINT len) noexcept {
    BSTR s = allocate(len);
    if (!s)
        return nullptr;
    if (psz)
        std::memcpy(s, psz, len);
    else
        std::memset(s, 0, len);
    return s;
}

INT SysReAllocString(BSTR* pbstr, const OLECHAR* psz) noexcept {
    if (!pbstr)
        return FALSE;
    return SysReAllocStringLen(pbstr, psz, static_cast<UINT>(nv::text::length(psz)));
}

INT SysReAllocStringLen(BSTR* pbstr, const OLECHAR* psz, unsigned int len) noexcept {
    if (!pbstr)
        return FALSE;
    BSTR fresh = SysAllocStringLen(nullptr, len);
    if (!fresh)
        return FALSE;
    // psz may point into the old string, so copy before freeing it.
    if (psz) {
        std::memcpy(fresh, psz, std::size_t{len} * sizeof(OLECHAR));
    } else if (*pbstr) {
        UINT keep = SysStringLen(*pbstr) < len ? SysStringLen(*pbstr) : len;
        std::memcpy(fresh, *pbstr, std::size_t{keep} * sizeof(OLECHAR));
    }
    SysFreeString(*pbstr);
    *pbstr = fresh;
    return TRUE;
}

void SysFreeString(BSTR bstrString) noexcept {
    if (bstrString)
        std::free(blockOf(bstrString));
}

UINT SysStringLen(BSTR pbstr) noexcept {
    return pbstr ? byteLen(pbstr) / sizeof(OLECHAR) : 0;
}

UINT SysStringByteLen(BSTR bstr) noexcept {
    return bstr ? byteLen(bstr) : 0;
}

}  // extern "C"

namespace nv::com {

Bstr::Bstr(std::u16string_view text) {
    s_ = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!s_)
        throw std::bad_alloc();
}

Bstr Bstr::fromUtf8(std::string_view utf8) {
    return Bstr(nv::text::utf8ToUtf16(utf8));
}

std::string Bstr::utf8() const {
    return nv::text::utf16ToUtf8(view());
}

BSTR Bstr::copy() const {
    if (!s_)
        return nullptr;
    BSTR c = SysAllocStringByteLen(reinterpret_cast<LPCSTR>(s_), SysStringByteLen(s_));
    if (!c)
        throw std::bad_alloc();
    return c;
}

}  // namespace nv::com
