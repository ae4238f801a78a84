// The state of one IOMessage object: one parameter record as the object holds it.
#pragma once

#include "platform/com/bstr.h"
#include "platform/com/types.h"

namespace wscom {

struct IoMessageFields {
    // Defaults of a new object: numbers 0, booleans false except isRequired (the integer 1),
    // strings of two spaces. Throws std::bad_alloc.
    IoMessageFields();

    LONG level = 0;
    LONG arrayMin = 0;
    LONG arrayMax = 0;
    VARIANT_BOOL isArray = 0;
    VARIANT_BOOL isComplexType = 0;
    VARIANT_BOOL isAttribute = 0;
    VARIANT_BOOL isSimpleDataField = 0;
    VARIANT_BOOL hasEnumValues = 0;
    VARIANT_BOOL isHeader = 0;
    VARIANT_BOOL isRequired = 1;
    nv::com::Bstr info;
    nv::com::Bstr fieldName;
    nv::com::Bstr dataType;
    nv::com::Bstr theData;
    nv::com::Bstr description;
    nv::com::Bstr prefix;
    // Whether the record goes into the next request; set by the input selection only.
    bool sendMark = true;
};

// Replaces `field` by a copy of `value` up to its first NUL (null stores the empty string).
// E_OUTOFMEMORY leaves the field as it was.
HRESULT storeString(nv::com::Bstr& field, const OLECHAR* value);
// A new copy of the field for the caller, who frees it.
HRESULT copyString(const nv::com::Bstr& field, BSTR* out);

}  // namespace wscom
