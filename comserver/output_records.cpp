#include "comserver/output_records.h"

#include <cstdint>
#include <utility>

#include "comserver/io_message.h"
#include "comserver/wscom_ids.h"
#include "platform/com/activation.h"
#include "platform/com/bstr.h"
#include "platform/com/com_ptr.h"
#include "platform/com/iids.h"
#include "platform/com/safearray.h"
#include "platform/com/task_memory.h"

namespace wscom {

namespace {

// A record's 32-bit boolean keeps its low 16 bits in the object.
VARIANT_BOOL lowWord(int32_t value) {
    return static_cast<VARIANT_BOOL>(static_cast<std::uint16_t>(value));
}

HRESULT fillFields(IoMessageFields& f, const ParameterRecord& r) {
    f.level = r.level;
    f.arrayMin = r.arrayMin;
    f.arrayMax = r.arrayMax;
    f.isArray = lowWord(r.isArray);
    f.isComplexType = lowWord(r.isComplexType);
    f.isAttribute = lowWord(r.isAttribute);
    f.isSimpleDataField = lowWord(r.isSimpleDataField);
    f.hasEnumValues = lowWord(r.hasEnumValues);
    f.isHeader = lowWord(r.isHeader);
    f.isRequired = lowWord(r.isRequired);
    const std::pair<nv::com::Bstr*, const char16_t*> strings[] = {
        {&f.dataType, r.dataType}, {&f.fieldName, r.fieldName},     {&f.info, r.info},
        {&f.theData, r.theData},   {&f.description, r.description}, {&f.prefix, r.prefix}};
    for (const auto& [field, text] : strings) {
        HRESULT hr = storeString(*field, text);
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

// For an object the registry served from another copy of the server: through its properties.
HRESULT fillThroughProperties(IIOMessage& m, const ParameterRecord& r) {
    HRESULT hr = S_OK;
    auto check = [&](HRESULT step) {
        if (SUCCEEDED(hr))
            hr = step;
    };
    check(m.put_level(r.level));
    check(m.put_arrayMin(r.arrayMin));
    check(m.put_arrayMax(r.arrayMax));
    check(m.put_isArray(lowWord(r.isArray)));
    check(m.put_isComplexType(lowWord(r.isComplexType)));
    check(m.put_isAttribute(lowWord(r.isAttribute)));
    check(m.put_isSimpleDataField(lowWord(r.isSimpleDataField)));
    check(m.put_hasEnumValues(lowWord(r.hasEnumValues)));
    check(m.put_isHeader(lowWord(r.isHeader)));
    check(m.put_isRequired(lowWord(r.isRequired)));
    auto text = [&](HRESULT (IIOMessage::*put)(BSTR), const char16_t* value) {
        if (FAILED(hr))
            return;
        BSTR copy = SysAllocString(value ? value : u"");
        hr = copy ? (m.*put)(copy) : E_OUTOFMEMORY;
        SysFreeString(copy);
    };
    text(&IIOMessage::put_dataType, r.dataType);
    text(&IIOMessage::put_fieldName, r.fieldName);
    text(&IIOMessage::put_info, r.info);
    text(&IIOMessage::put_theData, r.theData);
    text(&IIOMessage::put_description, r.description);
    text(&IIOMessage::put_prefix, r.prefix);
    return hr;
}

HRESULT buildArray(const ParameterRecord* records, int32_t count, SAFEARRAY* array) {
    nv::com::ComPtr<IClassFactory> factory;
    HRESULT hr = CoGetClassObject(kClsidIOMessage, CLSCTX_SERVER, nullptr, IID_IClassFactory,
                                  factory.putVoid());
    if (FAILED(hr))
        return hr;
    VARIANT* items = nullptr;
    SafeArrayAccessData(array, reinterpret_cast<void**>(&items));
    for (int32_t i = 0; i < count && SUCCEEDED(hr); ++i) {
        nv::com::ComPtr<IIOMessage> message;
        hr = factory->CreateInstance(nullptr, kIidIIOMessage, message.putVoid());
        if (FAILED(hr))
            break;
        nv::com::ComPtr<IIOMessageAccess> access;
        IoMessageFields* own = ownIOMessageFields(message.get(), access);
        hr = own ? fillFields(*own, records[i]) : fillThroughProperties(*message.get(), records[i]);
        if (SUCCEEDED(hr)) {
            items[i].vt = VT_DISPATCH;
            items[i].pdispVal = message.detach();
        }
    }
    SafeArrayUnaccessData(array);
    return hr;
}

}  // namespace

void freeEngineRecords(ParameterRecord* records, int32_t count) {
    if (!records)
        return;
    for (int32_t i = 0; i < count; ++i) {
        ParameterRecord& r = records[i];
        for (char16_t* s : {r.info, r.fieldName, r.dataType, r.theData, r.description, r.prefix})
            CoTaskMemFree(s);
    }
    CoTaskMemFree(records);
}

HRESULT ioMessageArrayFromRecords(ParameterRecord* records, int32_t count, VARIANT* out) {
    VariantClear(out);
    if (count <= 0 || !records) {
        freeEngineRecords(records, count);
        return S_OK;
    }
    SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(count));
    HRESULT hr = array ? buildArray(records, count, array) : E_OUTOFMEMORY;
    freeEngineRecords(records, count);
    if (FAILED(hr)) {
        SafeArrayDestroy(array);
        return hr;
    }
    // The working array itself becomes the result: a copy would hold the same objects.
    out->vt = VT_ARRAY | VT_VARIANT;
    out->parray = array;
    return S_OK;
}

}  // namespace wscom
