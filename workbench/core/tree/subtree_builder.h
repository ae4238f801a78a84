// Builds the fields of an operation's input or output message from its flat IOMessage array:
// nodes nest by the records' levels, each simple field gets its value and type nodes.
#pragma once

#include <memory>
#include <vector>

#include "workbench/core/engine/io_message.h"
#include "workbench/core/tree/nv_tree_node.h"

namespace sondar {

enum class MessageDirection { Input, Output };

// The message node's children for `records`. Prepares input records as the tree edits them:
// an input array of size 0 becomes size 1, a boolean input becomes the enumeration
// "true|false" with an empty value.
std::vector<std::unique_ptr<TNVTreeNode>> buildMessageSubtree(const IOMessageArray& records,
                                                              MessageDirection direction);

class TCNVWSControl;

// The operation's input or output records from the engine; false (with the engine's text)
// when the engine could not give them.
bool fetchMessageStructure(TCNVWSControl& control, const QString& operation,
                           MessageDirection direction, IOMessageArray& records, QString& errorText);

}  // namespace sondar
