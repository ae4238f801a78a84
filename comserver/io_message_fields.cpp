#include "comserver/io_message_fields.h"

#include "platform/text/unicode.h"

namespace wscom {

namespace {
constexpr char16_t kUnset[] = u"  ";
}

IoMessageFields::IoMessageFields()
    : info(kUnset),
      fieldName(kUnset),
      dataType(kUnset),
      theData(kUnset),
      description(kUnset),
      prefix(kUnset) {}

HRESULT storeString(nv::com::Bstr& field, const OLECHAR* value) {
    std::u16string_view text = nv::text::view(value);
    BSTR copy = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!copy)
        return E_OUTOFMEMORY;
    field.attach(copy);
    return S_OK;
}

HRESULT copyString(const nv::com::Bstr& field, BSTR* out) {
    if (!out)
        return E_POINTER;
    std::u16string_view text = field.view();
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

}  // namespace wscom
