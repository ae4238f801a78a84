#include "comserver/input_records.h"

#include <climits>
#include <cstring>
#include <vector>

#include "comserver/input_selection.h"
#include "comserver/io_message.h"
#include "platform/com/safearray.h"
#include "platform/com/task_memory.h"

namespace wscom {

namespace {

// The array an input VARIANT holds (null for none), or E_INVALIDARG.
HRESULT arrayOf(const VARIANT* input, SAFEARRAY*& out) {
    out = nullptr;
    if (input && input->vt == (VT_VARIANT | VT_BYREF))
        input = input->pvarVal;
    if (!input || input->vt == VT_EMPTY)
        return S_OK;
    VARTYPE element = input->vt & ~(VT_ARRAY | VT_BYREF);
    if (!(input->vt & VT_ARRAY) ||
        (element != VT_VARIANT && element != VT_DISPATCH && element != VT_UNKNOWN))
        return E_INVALIDARG;
    if (input->vt & VT_BYREF) {
        if (!input->pparray)
            return E_INVALIDARG;
        out = *input->pparray;
    } else {
        out = input->parray;
    }
    if (out && SafeArrayGetDim(out) != 1)
        return E_INVALIDARG;
    return S_OK;
}

// The object of one array element: a VARIANT holding an interface (possibly by reference),
// or the interface pointer itself.
IUnknown* objectOf(SAFEARRAY* array, VARTYPE type, LONG index) {
    void* slot = nullptr;
    if (FAILED(SafeArrayPtrOfIndex(array, &index, &slot)))
        return nullptr;
    if (type != VT_VARIANT)
        return *static_cast<IUnknown**>(slot);
    const VARIANT* v = static_cast<const VARIANT*>(slot);
    if (v->vt == (VT_VARIANT | VT_BYREF) && v->pvarVal)
        v = v->pvarVal;
    switch (v->vt) {
        case VT_DISPATCH:
        case VT_UNKNOWN:
            return v->punkVal;
        case VT_DISPATCH | VT_BYREF:
        case VT_UNKNOWN | VT_BYREF:
            return v->ppunkVal ? *v->ppunkVal : nullptr;
        default:
            return nullptr;
    }
}

char16_t* taskCopy(const nv::com::Bstr& text) {
    std::u16string_view v = text.view();
    auto* copy = static_cast<char16_t*>(CoTaskMemAlloc((v.size() + 1) * sizeof(char16_t)));
    if (!copy)
        return nullptr;
    std::memcpy(copy, v.data(), v.size() * sizeof(char16_t));
    copy[v.size()] = u'\0';
    return copy;
}

// Booleans are sign-extended, so VARIANT_TRUE becomes -1.
int32_t widen(VARIANT_BOOL value) {
    return static_cast<int32_t>(value);
}

bool fillRecord(ParameterRecord& r, const IoMessageFields& f) {
    r.level = f.level;
    r.arrayMin = f.arrayMin;
    r.arrayMax = f.arrayMax;
    r.isArray = widen(f.isArray);
    r.isComplexType = widen(f.isComplexType);
    r.isAttribute = widen(f.isAttribute);
    r.isSimpleDataField = widen(f.isSimpleDataField);
    r.hasEnumValues = widen(f.hasEnumValues);
    r.isHeader = widen(f.isHeader);
    r.isRequired = widen(f.isRequired);
    r.info = taskCopy(f.info);
    r.fieldName = taskCopy(f.fieldName);
    r.dataType = taskCopy(f.dataType);
    r.theData = taskCopy(f.theData);
    r.prefix = taskCopy(f.prefix);
    r.description = nullptr;  // the engine does not read it on input
    return r.info && r.fieldName && r.dataType && r.theData && r.prefix;
}

}  // namespace

InputRecords::~InputRecords() {
    for (int32_t i = 0; i < count_; ++i) {
        ParameterRecord& r = records_[i];
        for (char16_t* s : {r.info, r.fieldName, r.dataType, r.theData, r.prefix})
            CoTaskMemFree(s);
    }
    CoTaskMemFree(records_);
}

HRESULT InputRecords::build(const VARIANT* input) {
    SAFEARRAY* array = nullptr;
    HRESULT hr = arrayOf(input, array);
    if (FAILED(hr) || !array)
        return hr;
    VARTYPE type = VT_EMPTY;
    LONG lower = 0, upper = -1;
    if (FAILED(SafeArrayGetVartype(array, &type)) || FAILED(SafeArrayGetLBound(array, 1, &lower)) ||
        FAILED(SafeArrayGetUBound(array, 1, &upper)))
        return E_INVALIDARG;
    if (type != VT_VARIANT && type != VT_DISPATCH && type != VT_UNKNOWN)
        return E_INVALIDARG;
    if (upper < lower)
        return S_OK;
    std::size_t elements = static_cast<std::size_t>(upper) - lower + 1;
    if (elements > INT32_MAX)
        return E_INVALIDARG;

    // The holders keep each element's object alive while its fields are read.
    std::vector<nv::com::ComPtr<IIOMessageAccess>> holders(elements);
    std::vector<IoMessageFields*> fields(elements);
    std::vector<SelectionItem> items(elements);
    for (std::size_t i = 0; i < elements; ++i) {
        IUnknown* object = objectOf(array, type, static_cast<LONG>(lower + i));
        fields[i] = ownIOMessageFields(object, holders[i]);
        if (!fields[i])
            return E_INVALIDARG;
        items[i] = {fields[i]->level, fields[i]->isRequired != 0, !fields[i]->theData.empty(),
                    &fields[i]->sendMark};
    }
    markInputRecords(items);

    int32_t sent = 0;
    for (IoMessageFields* f : fields)
        sent += f->sendMark ? 1 : 0;
    if (sent == 0)
        return S_OK;
    records_ = static_cast<ParameterRecord*>(CoTaskMemAlloc(sent * sizeof(ParameterRecord)));
    if (!records_)
        return E_OUTOFMEMORY;
    std::memset(records_, 0, sent * sizeof(ParameterRecord));
    for (IoMessageFields* f : fields) {
        if (!f->sendMark)
            continue;
        // Counted before filling, so a failed copy is freed with the rest.
        if (!fillRecord(records_[count_++], *f))
            return E_OUTOFMEMORY;
    }
    return S_OK;
}

}  // namespace wscom
