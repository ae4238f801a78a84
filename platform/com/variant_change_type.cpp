// VariantChangeType: conversions between the scalar Automation types.
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include "platform/com/bstr.h"
#include "platform/com/dispatch.h"
#include "platform/com/guard.h"
#include "platform/com/variant.h"
#include "platform/com/variant_types.h"
#include "platform/text/unicode.h"

namespace {

// DATE values Automation accepts: 1 January 100 to 31 December 9999.
constexpr double kMinDate = -657434.0;
constexpr double kMaxDateExclusive = 2958466.0;
constexpr std::int64_t kCyScale = 10000;

// A source value reduced to what the numeric conversions need.
struct Number {
    enum Kind { Integer, Real, Currency } kind = Integer;
    bool negative = false;        // Integer: sign
    std::uint64_t magnitude = 0;  // Integer: absolute value
    double real = 0;              // Real
    std::int64_t cy = 0;          // Currency, scaled by 10000
    bool fromBool = false;        // VARIANT_TRUE widens to all ones in unsigned types
};

Number fromSigned(std::int64_t v) {
    Number n;
    n.negative = v < 0;
    n.magnitude = n.negative ? std::uint64_t{0} - static_cast<std::uint64_t>(v)
                             : static_cast<std::uint64_t>(v);
    return n;
}

Number fromUnsigned(std::uint64_t v) {
    Number n;
    n.magnitude = v;
    return n;
}

Number fromReal(double v) {
    Number n;
    n.kind = Number::Real;
    n.real = v;
    return n;
}

bool isSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\f' || c == u'\v' ||
           c == 0x00A0;
}

std::u16string_view trim(std::u16string_view s) {
    while (!s.empty() && isSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

// The text of a BSTR up to its first NUL, as the Var*FromStr functions read it.
std::u16string_view textOf(BSTR s) {
    std::u16string_view v(s ? s : u"", SysStringLen(s));
    std::size_t nul = v.find(u'\0');
    return nul == std::u16string_view::npos ? v : v.substr(0, nul);
}

HRESULT parseRadix(std::u16string_view digits, unsigned radix, Number& out) {
    if (digits.empty())
        return DISP_E_TYPEMISMATCH;
    std::uint64_t v = 0;
    for (char16_t c : digits) {
        unsigned d;
        if (c >= u'0' && c <= u'9')
            d = c - u'0';
        else if (c >= u'a' && c <= u'f')
            d = c - u'a' + 10;
        else if (c >= u'A' && c <= u'F')
            d = c - u'A' + 10;
        else
            return DISP_E_TYPEMISMATCH;
        if (d >= radix)
            return DISP_E_TYPEMISMATCH;
        if (v > (std::numeric_limits<std::uint64_t>::max() - d) / radix)
            return DISP_E_OVERFLOW;
        v = v * radix + d;
    }
    out = fromUnsigned(v);
    return S_OK;
}

// Decimal text: [sign] digits [. digits] [e [sign] digits], or &H / &O prefixed integers.
HRESULT parseNumber(std::u16string_view text, Number& out) {
    std::u16string_view s = trim(text);
    if (s.size() > 2 && s[0] == u'&') {
        if (s[1] == u'H' || s[1] == u'h')
            return parseRadix(s.substr(2), 16, out);
        if (s[1] == u'O' || s[1] == u'o')
            return parseRadix(s.substr(2), 8, out);
    }
    bool negative = false;
    if (!s.empty() && (s[0] == u'+' || s[0] == u'-')) {
        negative = s[0] == u'-';
        s.remove_prefix(1);
    }
    std::string ascii;
    std::size_t i = 0;
    std::size_t mantissaDigits = 0;
    bool integral = true;
    bool negativeExponent = false;
    for (; i < s.size() && s[i] >= u'0' && s[i] <= u'9'; ++i, ++mantissaDigits)
        ascii += static_cast<char>(s[i]);
    if (i < s.size() && s[i] == u'.') {
        integral = false;
        ascii += '.';
        for (++i; i < s.size() && s[i] >= u'0' && s[i] <= u'9'; ++i, ++mantissaDigits)
            ascii += static_cast<char>(s[i]);
    }
    if (mantissaDigits == 0)
        return DISP_E_TYPEMISMATCH;
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        integral = false;
        ascii += 'e';
        ++i;
        if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
            negativeExponent = s[i] == u'-';
            ascii += static_cast<char>(s[i++]);
        }
        std::size_t expDigits = 0;
        for (; i < s.size() && s[i] >= u'0' && s[i] <= u'9'; ++i, ++expDigits)
            ascii += static_cast<char>(s[i]);
        if (expDigits == 0)
            return DISP_E_TYPEMISMATCH;
    }
    if (i != s.size())
        return DISP_E_TYPEMISMATCH;

    if (integral) {
        std::uint64_t v = 0;
        auto [end, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), v);
        if (ec == std::errc() && end == ascii.data() + ascii.size()) {
            out = fromUnsigned(v);
            out.negative = negative && v != 0;
            return S_OK;
        }
        // Too large for 64 bits: carry on as a real, which every integer target rejects.
    }
    double d = 0;
    auto [end, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), d);
    if (ec == std::errc::result_out_of_range) {
        if (!negativeExponent)
            return DISP_E_OVERFLOW;
        d = 0;
    } else if (ec != std::errc() || end != ascii.data() + ascii.size()) {
        return DISP_E_TYPEMISMATCH;
    }
    out = fromReal(negative ? -d : d);
    return S_OK;
}

// Round half to even, as the Automation conversions do.
double roundEven(double x) {
    double f = std::floor(x);
    double diff = x - f;
    if (diff > 0.5)
        return f + 1;
    if (diff < 0.5)
        return f;
    return std::fmod(f, 2.0) == 0 ? f : f + 1;
}

std::int64_t roundCurrency(std::int64_t cy) {
    std::int64_t q = cy / kCyScale;
    std::int64_t r = cy % kCyScale;
    std::int64_t twice = 2 * (r < 0 ? -r : r);
    if (twice > kCyScale || (twice == kCyScale && (q % 2) != 0))
        q += cy < 0 ? -1 : 1;
    return q;
}

// The number as an integer in [lo, hi]: DISP_E_OVERFLOW when it does not fit.
HRESULT toInteger(const Number& n, std::int64_t lo, std::uint64_t hi, bool isUnsigned,
                  std::uint64_t& bits) {
    if (n.fromBool && isUnsigned) {
        bits = n.magnitude ? hi : 0;
        return S_OK;
    }
    Number v = n;
    if (n.kind == Number::Currency) {
        v = fromSigned(roundCurrency(n.cy));
    } else if (n.kind == Number::Real) {
        if (!std::isfinite(n.real))
            return DISP_E_OVERFLOW;
        double r = roundEven(n.real);
        if (r < static_cast<double>(lo) || r >= static_cast<double>(hi) + 1.0)
            return DISP_E_OVERFLOW;
        if (r < 0) {
            v.negative = true;
            v.magnitude = static_cast<std::uint64_t>(-r);
        } else {
            v.negative = false;
            v.magnitude = static_cast<std::uint64_t>(r);
        }
    }
    if (v.negative) {
        std::uint64_t limit = std::uint64_t{0} - static_cast<std::uint64_t>(lo);
        if (lo >= 0 || v.magnitude > limit)
            return DISP_E_OVERFLOW;
        bits = std::uint64_t{0} - v.magnitude;
    } else {
        if (v.magnitude > hi)
            return DISP_E_OVERFLOW;
        bits = v.magnitude;
    }
    return S_OK;
}

double toDouble(const Number& n) {
    switch (n.kind) {
        case Number::Real:
            return n.real;
        case Number::Currency:
            return static_cast<double>(n.cy) / kCyScale;
        case Number::Integer: {
            double m = static_cast<double>(n.magnitude);
            return n.negative ? -m : m;
        }
    }
    return 0;
}

bool isZero(const Number& n) {
    switch (n.kind) {
        case Number::Real:
            return n.real == 0;
        case Number::Currency:
            return n.cy == 0;
        case Number::Integer:
            return n.magnitude == 0;
    }
    return true;
}

HRESULT toCurrency(const Number& n, std::int64_t& cy) {
    if (n.kind == Number::Currency) {
        cy = n.cy;
        return S_OK;
    }
    if (n.kind == Number::Integer) {
        constexpr std::uint64_t kMax = std::numeric_limits<std::int64_t>::max() / kCyScale;
        if (n.magnitude > kMax)
            return DISP_E_OVERFLOW;
        auto m = static_cast<std::int64_t>(n.magnitude) * kCyScale;
        cy = n.negative ? -m : m;
        return S_OK;
    }
    if (!std::isfinite(n.real))
        return DISP_E_OVERFLOW;
    double r = roundEven(n.real * kCyScale);
    if (r < -9223372036854775808.0 || r >= 9223372036854775808.0)
        return DISP_E_OVERFLOW;
    cy = static_cast<std::int64_t>(r);
    return S_OK;
}

std::u16string ascii16(std::string_view s) {
    return std::u16string(s.begin(), s.end());
}

std::u16string integerText(const Number& n) {
    std::string s = std::to_string(n.magnitude);
    return ascii16(n.negative ? "-" + s : s);
}

// Up to `digits` significant digits, exponent form for very large or small values ("1E+20").
std::u16string realText(double v, int digits) {
    if (v == 0)
        return u"0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*G", digits, v);
    return ascii16(buf);
}

std::u16string currencyText(std::int64_t cy) {
    bool negative = cy < 0;
    std::uint64_t m = negative ? std::uint64_t{0} - static_cast<std::uint64_t>(cy)
                               : static_cast<std::uint64_t>(cy);
    std::string s = std::to_string(m / kCyScale);
    std::uint64_t frac = m % kCyScale;
    if (frac) {
        char buf[8];
        std::snprintf(buf, sizeof buf, ".%04llu", static_cast<unsigned long long>(frac));
        std::string f = buf;
        while (f.back() == '0')
            f.pop_back();
        s += f;
    }
    return ascii16(negative ? "-" + s : s);
}

HRESULT setBstr(VARIANT& out, std::u16string_view text) {
    BSTR b = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!b)
        return E_OUTOFMEMORY;
    out.vt = VT_BSTR;
    out.bstrVal = b;
    return S_OK;
}

bool isNumericTarget(VARTYPE vt) {
    switch (vt) {
        case VT_I1:
        case VT_I2:
        case VT_I4:
        case VT_I8:
        case VT_INT:
        case VT_UI1:
        case VT_UI2:
        case VT_UI4:
        case VT_UI8:
        case VT_UINT:
        case VT_R4:
        case VT_R8:
        case VT_CY:
        case VT_DATE:
        case VT_BOOL:
            return true;
        default:
            return false;
    }
}

// Reads a non-text, non-object scalar source as a number.
bool numberOf(const VARIANT& v, Number& n) {
    switch (v.vt) {
        case VT_EMPTY:
            n = fromUnsigned(0);
            return true;
        case VT_I1:
            n = fromSigned(v.cVal);
            return true;
        case VT_I2:
            n = fromSigned(v.iVal);
            return true;
        case VT_I4:
            n = fromSigned(v.lVal);
            return true;
        case VT_I8:
            n = fromSigned(v.llVal);
            return true;
        case VT_INT:
            n = fromSigned(v.intVal);
            return true;
        case VT_UI1:
            n = fromUnsigned(v.bVal);
            return true;
        case VT_UI2:
            n = fromUnsigned(v.uiVal);
            return true;
        case VT_UI4:
            n = fromUnsigned(v.ulVal);
            return true;
        case VT_UI8:
            n = fromUnsigned(v.ullVal);
            return true;
        case VT_UINT:
            n = fromUnsigned(v.uintVal);
            return true;
        case VT_R4:
            n = fromReal(v.fltVal);
            return true;
        case VT_R8:
            n = fromReal(v.dblVal);
            return true;
        case VT_DATE:
            n = fromReal(v.date);
            return true;
        case VT_CY:
            n = Number{};
            n.kind = Number::Currency;
            n.cy = v.cyVal.int64;
            return true;
        case VT_BOOL:
            n = fromSigned(v.boolVal ? -1 : 0);
            n.fromBool = true;
            return true;
        default:
            return false;
    }
}

template <class T>
HRESULT storeInteger(const Number& n, T& slot) {
    constexpr bool isUnsigned = std::numeric_limits<T>::min() == 0;
    std::uint64_t bits = 0;
    HRESULT hr =
        toInteger(n, static_cast<std::int64_t>(std::numeric_limits<T>::min()),
                  static_cast<std::uint64_t>(std::numeric_limits<T>::max()), isUnsigned, bits);
    if (SUCCEEDED(hr))
        slot = static_cast<T>(bits);
    return hr;
}

// Writes number n as type vt into out (whose old value is ignored).
HRESULT numberTo(const Number& n, VARTYPE vt, VARIANT& out) {
    HRESULT hr = S_OK;
    switch (vt) {
        case VT_I1:
            hr = storeInteger(n, out.cVal);
            break;
        case VT_I2:
            hr = storeInteger(n, out.iVal);
            break;
        case VT_I4:
            hr = storeInteger(n, out.lVal);
            break;
        case VT_I8:
            hr = storeInteger(n, out.llVal);
            break;
        case VT_INT:
            hr = storeInteger(n, out.intVal);
            break;
        case VT_UI1:
            hr = storeInteger(n, out.bVal);
            break;
        case VT_UI2:
            hr = storeInteger(n, out.uiVal);
            break;
        case VT_UI4:
            hr = storeInteger(n, out.ulVal);
            break;
        case VT_UI8:
            hr = storeInteger(n, out.ullVal);
            break;
        case VT_UINT:
            hr = storeInteger(n, out.uintVal);
            break;
        case VT_BOOL:
            out.boolVal = isZero(n) ? VARIANT_FALSE : VARIANT_TRUE;
            break;
        case VT_R4: {
            double d = toDouble(n);
            if (std::isfinite(d) && std::fabs(d) > FLT_MAX)
                return DISP_E_OVERFLOW;
            out.fltVal = static_cast<float>(d);
            break;
        }
        case VT_R8:
            out.dblVal = toDouble(n);
            break;
        case VT_DATE: {
            double d = toDouble(n);
            if (!(d >= kMinDate && d < kMaxDateExclusive))
                return DISP_E_OVERFLOW;
            out.date = d;
            break;
        }
        case VT_CY:
            hr = toCurrency(n, out.cyVal.int64);
            break;
        default:
            return DISP_E_TYPEMISMATCH;
    }
    if (SUCCEEDED(hr))
        out.vt = vt;
    return hr;
}

HRESULT textToBool(std::u16string_view text, VARIANT& out) {
    std::u16string_view t = trim(text);
    if (nv::text::equalsIgnoreCase(t, u"True")) {
        out.boolVal = VARIANT_TRUE;
    } else if (nv::text::equalsIgnoreCase(t, u"False")) {
        out.boolVal = VARIANT_FALSE;
    } else {
        Number n;
        HRESULT hr = parseNumber(t, n);
        if (FAILED(hr))
            return hr;
        out.boolVal = isZero(n) ? VARIANT_FALSE : VARIANT_TRUE;
    }
    out.vt = VT_BOOL;
    return S_OK;
}

HRESULT toText(const VARIANT& src, USHORT flags, VARIANT& out) {
    switch (src.vt) {
        case VT_EMPTY:
            return setBstr(out, u"");
        case VT_BOOL:
            if (flags & (VARIANT_ALPHABOOL | VARIANT_LOCALBOOL))
                return setBstr(out, src.boolVal ? u"True" : u"False");
            return setBstr(out, src.boolVal ? u"-1" : u"0");
        case VT_R4:
            return setBstr(out, realText(src.fltVal, 7));
        case VT_R8:
            return setBstr(out, realText(src.dblVal, 15));
        case VT_CY:
            return setBstr(out, currencyText(src.cyVal.int64));
        case VT_DATE:
            return DISP_E_TYPEMISMATCH;
        default: {
            Number n;
            if (!numberOf(src, n))
                return DISP_E_TYPEMISMATCH;
            return setBstr(out, integerText(n));
        }
    }
}

bool isErrorCompatible(VARTYPE vt) {
    return vt == VT_I4 || vt == VT_UI4 || vt == VT_INT || vt == VT_UINT || vt == VT_ERROR;
}

HRESULT queryInto(IUnknown* unk, REFIID iid, VARTYPE vt, VARIANT& out) {
    void* p = nullptr;
    if (unk && FAILED(unk->QueryInterface(iid, &p)))
        return DISP_E_TYPEMISMATCH;
    out.vt = vt;
    out.byref = p;
    return S_OK;
}

IUnknown* objectOf(const VARIANT& v) {
    return v.vt == VT_DISPATCH ? static_cast<IUnknown*>(v.pdispVal) : v.punkVal;
}

// Converts a dereferenced scalar src to vt into out (raw storage). `depth` bounds the
// DISPID_VALUE chain of objects whose value is another object.
HRESULT convert(const VARIANT& src, LCID lcid, USHORT flags, VARTYPE vt, VARIANT& out, int depth) {
    VariantInit(&out);
    if (src.vt == vt)
        return VariantCopy(&out, &src);
    if (src.vt == VT_NULL || vt == VT_NULL) {
        if (src.vt != VT_EMPTY)
            return DISP_E_TYPEMISMATCH;
        out.vt = VT_NULL;
        return S_OK;
    }
    if (vt == VT_EMPTY)
        return S_OK;
    if ((src.vt & VT_ARRAY) || (vt & VT_ARRAY))
        return DISP_E_TYPEMISMATCH;

    if (vt == VT_DISPATCH || vt == VT_UNKNOWN) {
        if (src.vt == VT_EMPTY) {
            out.vt = vt;
            out.byref = nullptr;
            return S_OK;
        }
        if (src.vt != VT_DISPATCH && src.vt != VT_UNKNOWN)
            return DISP_E_TYPEMISMATCH;
        return queryInto(objectOf(src), vt == VT_DISPATCH ? IID_IDispatch : IID_IUnknown, vt, out);
    }

    if (src.vt == VT_DISPATCH || src.vt == VT_UNKNOWN) {
        if ((flags & VARIANT_NOVALUEPROP) || depth > 0)
            return DISP_E_TYPEMISMATCH;
        IUnknown* unk = objectOf(src);
        if (!unk)
            return DISP_E_TYPEMISMATCH;
        IDispatch* disp = nullptr;
        if (FAILED(unk->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&disp))))
            return DISP_E_TYPEMISMATCH;
        nv::com::Variant value;
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        HRESULT hr = disp->Invoke(DISPID_VALUE, IID_NULL, lcid, DISPATCH_PROPERTYGET, &none, &value,
                                  nullptr, nullptr);
        disp->Release();
        if (FAILED(hr))
            return hr;
        nv::com::Variant plain;
        hr = VariantCopyInd(&plain, &value);
        if (FAILED(hr))
            return hr;
        return convert(plain, lcid, flags, vt, out, depth + 1);
    }

    if (src.vt == VT_ERROR || vt == VT_ERROR) {
        if (!isErrorCompatible(src.vt) || !isErrorCompatible(vt))
            return DISP_E_TYPEMISMATCH;
        out.vt = vt;
        out.lVal = src.lVal;
        return S_OK;
    }

    if (vt == VT_BSTR)
        return toText(src, flags, out);

    if (!isNumericTarget(vt))
        return DISP_E_BADVARTYPE;
    if (src.vt == VT_BSTR) {
        if (vt == VT_DATE)
            return DISP_E_TYPEMISMATCH;
        if (vt == VT_BOOL)
            return textToBool(textOf(src.bstrVal), out);
        Number n;
        HRESULT hr = parseNumber(textOf(src.bstrVal), n);
        if (FAILED(hr))
            return hr;
        return numberTo(n, vt, out);
    }
    Number n;
    if (!numberOf(src, n))
        return DISP_E_TYPEMISMATCH;
    return numberTo(n, vt, out);
}

HRESULT changeType(VARIANTARG* dest, const VARIANTARG* src, LCID lcid, USHORT flags, VARTYPE vt) {
    if (!dest || !src)
        return E_INVALIDARG;
    if (!nv::com::detail::isValidVariantType(vt) || (vt & VT_BYREF))
        return DISP_E_BADVARTYPE;
    if (!nv::com::detail::isValidVariantType(src->vt))
        return DISP_E_BADVARTYPE;
    nv::com::Variant plain;
    HRESULT hr = VariantCopyInd(&plain, src);
    if (FAILED(hr))
        return hr;
    VARIANT result;
    hr = convert(plain, lcid, flags, vt, result, 0);
    if (FAILED(hr))
        return hr;
    hr = VariantClear(dest);
    if (FAILED(hr)) {
        VariantClear(&result);
        return hr;
    }
    std::memcpy(dest, &result, sizeof result);
    return S_OK;
}

}  // namespace

extern "C" {

HRESULT VariantChangeType(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc, USHORT wFlags,
                          VARTYPE vt) noexcept {
    return nv::com::detail::guarded(
        [&] { return changeType(pvargDest, pvarSrc, LOCALE_USER_DEFAULT, wFlags, vt); });
}

HRESULT VariantChangeTypeEx(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc, LCID lcid,
                            USHORT wFlags, VARTYPE vt) noexcept {
    return nv::com::detail::guarded(
        [&] { return changeType(pvargDest, pvarSrc, lcid, wFlags, vt); });
}

}  // extern "C"
