#include "workbench/core/editing/record_list.h"

#include "workbench/core/engine/nvws_control.h"

namespace sondar {

std::vector<IOMessageRef> recordsOf(const IOMessageArray& array) {
    std::vector<IOMessageRef> records;
    records.reserve(array.size());
    for (std::size_t i = 0; i < array.size(); ++i)
        records.push_back(array.at(i));
    return records;
}

std::optional<std::size_t> findRecord(const std::vector<IOMessageRef>& records,
                                      const IOMessageRef& record) {
    for (std::size_t i = 0; i < records.size(); ++i)
        if (records[i].get() == record.get())
            return i;
    return std::nullopt;
}

std::size_t endOfDescendants(const std::vector<IOMessageRef>& records, std::size_t index) {
    const int level = records[index].level();
    std::size_t end = index + 1;
    while (end < records.size() && records[end].level() > level)
        ++end;
    return end;
}

IOMessageRef copyRecord(TCIOMessage& factory, const IOMessageRef& source) {
    IOMessageRef copy = factory.create();
    copy.setFieldName(source.fieldName());
    copy.setLevel(source.level());
    copy.setIsComplexType(source.isComplexType());
    copy.setIsArray(source.isArray());
    copy.setArrayMin(source.arrayMin());
    copy.setArrayMax(source.arrayMax());
    copy.setIsAttribute(source.isAttribute());
    copy.setIsSimpleDataField(source.isSimpleDataField());
    copy.setDataType(source.dataType());
    copy.setTheData(source.theData());
    copy.setInfo(source.info());
    copy.setHasEnumValues(source.hasEnumValues());
    copy.setPrefix(source.prefix());
    return copy;
}

bool setFieldByName(const IOMessageArray& array, const QString& name, const QString& text) {
    for (std::size_t i = 0; i < array.size(); ++i) {
        const IOMessageRef record = array.at(i);
        if (record.fieldName() == name) {
            record.setTheData(text);
            return true;
        }
    }
    return false;
}

}  // namespace sondar
