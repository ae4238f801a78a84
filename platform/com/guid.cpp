#include "platform/com/guid.h"

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/com/activation.h"
#include "platform/com/iids.h"
#include "platform/com/task_memory.h"
#include "platform/text/unicode.h"

namespace {

constexpr std::size_t kBracedLength = 38;
constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";

int hexValue(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

bool readHex(std::u16string_view s, std::size_t pos, std::size_t digits, std::uint32_t& out) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        int d = hexValue(s[pos + i]);
        if (d < 0)
            return false;
        v = (v << 4) | static_cast<std::uint32_t>(d);
    }
    out = v;
    return true;
}

// The bare 36-character form "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX".
bool parseBare(std::u16string_view s, GUID& out) {
    if (s.size() != 36 || s[8] != u'-' || s[13] != u'-' || s[18] != u'-' || s[23] != u'-')
        return false;
    GUID g{};
    std::uint32_t v = 0;
    if (!readHex(s, 0, 8, v))
        return false;
    g.Data1 = v;
    if (!readHex(s, 9, 4, v))
        return false;
    g.Data2 = static_cast<WORD>(v);
    if (!readHex(s, 14, 4, v))
        return false;
    g.Data3 = static_cast<WORD>(v);
    static constexpr std::size_t kBytePos[8] = {19, 21, 24, 26, 28, 30, 32, 34};
    for (int i = 0; i < 8; ++i) {
        if (!readHex(s, kBytePos[i], 2, v))
            return false;
        g.Data4[i] = static_cast<BYTE>(v);
    }
    out = g;
    return true;
}

bool parseBraced(std::u16string_view s, GUID& out) {
    if (s.size() != kBracedLength || s.front() != u'{' || s.back() != u'}')
        return false;
    return parseBare(s.substr(1, 36), out);
}

void appendHex(char16_t*& p, std::uint32_t v, int digits) {
    for (int i = digits - 1; i >= 0; --i)
        *p++ = kHexDigits[(v >> (4 * i)) & 0xF];
}

// Writes the 38 characters and a NUL into buf.
void format(const GUID& g, char16_t* buf) {
    char16_t* p = buf;
    *p++ = u'{';
    appendHex(p, g.Data1, 8);
    *p++ = u'-';
    appendHex(p, g.Data2, 4);
    *p++ = u'-';
    appendHex(p, g.Data3, 4);
    *p++ = u'-';
    appendHex(p, g.Data4[0], 2);
    appendHex(p, g.Data4[1], 2);
    *p++ = u'-';
    for (int i = 2; i < 8; ++i)
        appendHex(p, g.Data4[i], 2);
    *p++ = u'}';
    *p = u'\0';
}

bool fillRandom(void* buf, std::size_t size) {
    auto* p = static_cast<unsigned char*>(buf);
    std::size_t done = 0;
    while (done < size) {
        ssize_t n = getrandom(p + done, size - done, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    if (done == size)
        return true;
    // Kernels without getrandom: fall back to the device.
    int fd = ::open("/dev/urandom", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    while (done < size) {
        ssize_t n = ::read(fd, p + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return done == size;
}

HRESULT stringFromGuid(const GUID& g, LPOLESTR* out) {
    if (!out)
        return E_INVALIDARG;
    *out = static_cast<LPOLESTR>(CoTaskMemAlloc((kBracedLength + 1) * sizeof(OLECHAR)));
    if (!*out)
        return E_OUTOFMEMORY;
    format(g, *out);
    return S_OK;
}

}  // namespace

extern "C" {

HRESULT CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid) noexcept {
    if (!pclsid)
        return E_INVALIDARG;
    *pclsid = CLSID_NULL;
    if (!lpsz)
        return S_OK;
    std::u16string_view s = nv::text::view(lpsz);
    if (parseBraced(s, *pclsid))
        return S_OK;
    if (!s.empty() && s.front() != u'{' && SUCCEEDED(CLSIDFromProgID(lpsz, pclsid)))
        return S_OK;
    *pclsid = CLSID_NULL;
    return CO_E_CLASSSTRING;
}

HRESULT IIDFromString(LPCOLESTR lpsz, LPIID lpiid) noexcept {
    if (!lpiid)
        return E_INVALIDARG;
    if (!lpsz) {
        *lpiid = IID_NULL;
        return S_OK;
    }
    return parseBraced(nv::text::view(lpsz), *lpiid) ? S_OK : E_INVALIDARG;
}

int StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax) noexcept {
    if (!lpsz || cchMax < static_cast<int>(kBracedLength + 1))
        return 0;
    format(rguid, lpsz);
    return static_cast<int>(kBracedLength + 1);
}

HRESULT StringFromCLSID(REFCLSID rclsid, LPOLESTR* lplpsz) noexcept {
    return stringFromGuid(rclsid, lplpsz);
}

HRESULT StringFromIID(REFIID rclsid, LPOLESTR* lplpsz) noexcept {
    return stringFromGuid(rclsid, lplpsz);
}

HRESULT CoCreateGuid(GUID* pguid) noexcept {
    if (!pguid)
        return E_INVALIDARG;
    GUID g;
    if (!fillRandom(&g, sizeof g))
        return E_FAIL;
    g.Data3 = static_cast<WORD>((g.Data3 & 0x0FFF) | 0x4000);
    g.Data4[0] = static_cast<BYTE>((g.Data4[0] & 0x3F) | 0x80);
    *pguid = g;
    return S_OK;
}

}  // extern "C"

namespace nv::com {

std::u16string toString(const GUID& guid) {
    char16_t buf[kBracedLength + 1];
    format(guid, buf);
    return std::u16string(buf, kBracedLength);
}

bool parseGuid(std::u16string_view text, GUID& out) {
    return parseBraced(text, out) || parseBare(text, out);
}

}  // namespace nv::com
