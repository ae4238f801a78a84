#include "workbench/core/engine/io_message.h"

#include <new>
#include <utility>

#include "platform/com/bstr.h"
#include "platform/com/safearray.h"

namespace sondar {

namespace {

QString toQString(const nv::com::Bstr& text) {
    const std::u16string_view units = text.view();
    return QString(reinterpret_cast<const QChar*>(units.data()),
                   static_cast<qsizetype>(units.size()));
}

nv::com::Bstr toBstr(const QString& text) {
    return nv::com::Bstr(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                             static_cast<std::size_t>(text.size())));
}

}  // namespace

#define SONDAR_LONG_PROPERTY(getter, setter, comName)         \
    int IOMessageRef::getter() const {                        \
        LONG value = 0;                                       \
        if (object_)                                          \
            object_->get_##comName(&value);                   \
        return static_cast<int>(value);                       \
    }                                                         \
    void IOMessageRef::setter(int value) const {              \
        if (object_)                                          \
            object_->put_##comName(static_cast<LONG>(value)); \
    }

#define SONDAR_BOOL_PROPERTY(getter, setter, comName)                     \
    bool IOMessageRef::getter() const {                                   \
        VARIANT_BOOL value = 0;                                           \
        if (object_)                                                      \
            object_->get_##comName(&value);                               \
        return value != 0;                                                \
    }                                                                     \
    void IOMessageRef::setter(bool value) const {                         \
        if (object_)                                                      \
            object_->put_##comName(value ? VARIANT_TRUE : VARIANT_FALSE); \
    }

#define SONDAR_TEXT_PROPERTY(getter, setter, comName)       \
    QString IOMessageRef::getter() const {                  \
        nv::com::Bstr value;                                \
        if (object_)                                        \
            object_->get_##comName(value.out());            \
        return toQString(value);                            \
    }                                                       \
    void IOMessageRef::setter(const QString& value) const { \
        if (object_)                                        \
            object_->put_##comName(toBstr(value).get());    \
    }

SONDAR_LONG_PROPERTY(level, setLevel, level)
SONDAR_LONG_PROPERTY(arrayMin, setArrayMin, arrayMin)
SONDAR_LONG_PROPERTY(arrayMax, setArrayMax, arrayMax)
SONDAR_BOOL_PROPERTY(isArray, setIsArray, isArray)
SONDAR_BOOL_PROPERTY(isComplexType, setIsComplexType, isComplexType)
SONDAR_BOOL_PROPERTY(isAttribute, setIsAttribute, isAttribute)
SONDAR_BOOL_PROPERTY(isSimpleDataField, setIsSimpleDataField, isSimpleDataField)
SONDAR_BOOL_PROPERTY(hasEnumValues, setHasEnumValues, hasEnumValues)
SONDAR_BOOL_PROPERTY(isHeader, setIsHeader, isHeader)
SONDAR_BOOL_PROPERTY(isRequired, setIsRequired, isRequired)
SONDAR_TEXT_PROPERTY(fieldName, setFieldName, fieldName)
SONDAR_TEXT_PROPERTY(info, setInfo, info)
SONDAR_TEXT_PROPERTY(dataType, setDataType, dataType)
SONDAR_TEXT_PROPERTY(theData, setTheData, theData)
SONDAR_TEXT_PROPERTY(description, setDescription, description)
SONDAR_TEXT_PROPERTY(prefix, setPrefix, prefix)

#undef SONDAR_LONG_PROPERTY
#undef SONDAR_BOOL_PROPERTY
#undef SONDAR_TEXT_PROPERTY

IOMessageArray::IOMessageArray(nv::com::Variant&& value) {
    value_ = std::move(value);
}

IOMessageArray IOMessageArray::fromMessages(const std::vector<IOMessageRef>& messages) {
    nv::com::Variant value;
    if (messages.empty())
        return IOMessageArray(std::move(value));
    SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(messages.size()));
    if (!array)
        throw std::bad_alloc();
    for (std::size_t i = 0; i < messages.size(); ++i) {
        nv::com::Variant element(static_cast<IDispatch*>(messages[i].get()));
        LONG index = static_cast<LONG>(i);
        SafeArrayPutElement(array, &index, static_cast<VARIANT*>(&element));
    }
    value.vt = VT_ARRAY | VT_VARIANT;
    value.parray = array;
    return IOMessageArray(std::move(value));
}

std::size_t IOMessageArray::size() const {
    if (value_.vt != (VT_ARRAY | VT_VARIANT) || !value_.parray)
        return 0;
    LONG lower = 0;
    LONG upper = -1;
    if (FAILED(SafeArrayGetLBound(value_.parray, 1, &lower)) ||
        FAILED(SafeArrayGetUBound(value_.parray, 1, &upper)) || upper < lower)
        return 0;
    return static_cast<std::size_t>(upper - lower) + 1;
}

IOMessageRef IOMessageArray::at(std::size_t i) const {
    if (i >= size())
        return {};
    LONG lower = 0;
    SafeArrayGetLBound(value_.parray, 1, &lower);
    LONG index = lower + static_cast<LONG>(i);
    nv::com::Variant element;
    if (FAILED(SafeArrayGetElement(value_.parray, &index, static_cast<VARIANT*>(&element))))
        return {};
    nv::com::ComPtr<IIOMessage> message;
    if ((element.vt == VT_DISPATCH || element.vt == VT_UNKNOWN) && element.punkVal)
        element.punkVal->QueryInterface(wscom::kIidIIOMessage, message.putVoid());
    return IOMessageRef(std::move(message));
}

}  // namespace sondar
