// An operation's input records as a list that can be edited (elements inserted, a structure's
// fields replaced) and turned back into an IOMessage array.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "workbench/core/engine/io_message.h"

namespace sondar {

class TCIOMessage;

std::vector<IOMessageRef> recordsOf(const IOMessageArray& array);

// Position of the record that is `record` (the same object), if any.
std::optional<std::size_t> findRecord(const std::vector<IOMessageRef>& records,
                                      const IOMessageRef& record);

// One past the last descendant of the record at `index`: the first following record whose
// level is not greater than its own, or the end.
std::size_t endOfDescendants(const std::vector<IOMessageRef>& records, std::size_t index);

// A new object with the template's structural fields and value (not its description, header
// and required flags).
IOMessageRef copyRecord(TCIOMessage& factory, const IOMessageRef& source);

// theData of the first record whose fieldName is `name` becomes `text`; false when there is
// no such record.
bool setFieldByName(const IOMessageArray& array, const QString& name, const QString& text);

}  // namespace sondar
