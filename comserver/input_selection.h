// Which input records go into a request. The client's array holds every field of the input
// message; a field is sent when it has a value, when it is required and its parent is
// required (or it is a required top-level field), or when something below it is sent, which
// also brings along its required children.
#pragma once

#include <vector>

#include "platform/com/types.h"

namespace wscom {

struct SelectionItem {
    LONG level = 0;
    bool required = false;
    bool hasValue = false;     // theData is not the empty string
    bool* sendMark = nullptr;  // the element's object's mark; every item's is written
};

// Builds the tree from the items' levels (array order) and writes the marks depth first.
// An element that cannot be placed by the level rule (it jumps more than one level deeper,
// or its level is below 1) is put under the nearest node of the current path whose level is
// lower than its own, the root when there is none, so no element is ever left out.
void markInputRecords(const std::vector<SelectionItem>& items);

}  // namespace wscom
