// Typed access to one IOMessage object (one parameter record) and to IOMessage arrays, the
// Automation forms in which the component server hands message structures to the workbench.
#pragma once

#include <cstddef>
#include <vector>

#include <QString>

#include "comserver/wscom_interfaces.h"
#include "platform/com/com_ptr.h"
#include "platform/com/variant.h"

namespace sondar {

// A reference to one IOMessage object. Holds one COM reference; copies share the object.
// Property reads of a failing object give the type's empty value.
class IOMessageRef {
  public:
    IOMessageRef() = default;
    explicit IOMessageRef(nv::com::ComPtr<IIOMessage> object) : object_(std::move(object)) {}

    explicit operator bool() const { return static_cast<bool>(object_); }
    IIOMessage* get() const { return object_.get(); }

    int level() const;
    int arrayMin() const;
    int arrayMax() const;
    bool isArray() const;
    bool isComplexType() const;
    bool isAttribute() const;
    bool isSimpleDataField() const;
    bool hasEnumValues() const;
    bool isHeader() const;
    bool isRequired() const;
    QString fieldName() const;
    QString info() const;
    QString dataType() const;
    QString theData() const;
    QString description() const;
    QString prefix() const;

    void setLevel(int value) const;
    void setArrayMin(int value) const;
    void setArrayMax(int value) const;
    void setIsArray(bool value) const;
    void setIsComplexType(bool value) const;
    void setIsAttribute(bool value) const;
    void setIsSimpleDataField(bool value) const;
    void setHasEnumValues(bool value) const;
    void setIsHeader(bool value) const;
    void setIsRequired(bool value) const;
    void setFieldName(const QString& value) const;
    void setInfo(const QString& value) const;
    void setDataType(const QString& value) const;
    void setTheData(const QString& value) const;
    void setDescription(const QString& value) const;
    void setPrefix(const QString& value) const;

  private:
    nv::com::ComPtr<IIOMessage> object_;
};

// Owns one IOMessage array: a VARIANT holding a SAFEARRAY of VT_DISPATCH VARIANTs, or empty.
// Move-only; destroying it releases the array and with it the array's references to its
// objects.
class IOMessageArray {
  public:
    IOMessageArray() = default;
    // Adopts what the variant holds and leaves `value` empty.
    explicit IOMessageArray(nv::com::Variant&& value);
    IOMessageArray(IOMessageArray&&) noexcept = default;
    IOMessageArray& operator=(IOMessageArray&&) noexcept = default;
    IOMessageArray(const IOMessageArray&) = delete;
    IOMessageArray& operator=(const IOMessageArray&) = delete;

    // A new array holding (new references to) `messages`, in order.
    static IOMessageArray fromMessages(const std::vector<IOMessageRef>& messages);

    bool empty() const { return size() == 0; }
    std::size_t size() const;
    // A reference to element i (null when the element is not an IOMessage object).
    IOMessageRef at(std::size_t i) const;
    // The VARIANT to hand to the component server.
    VARIANT* variant() { return &value_; }
    const VARIANT* variant() const { return &value_; }

  private:
    nv::com::Variant value_;
};

}  // namespace sondar
