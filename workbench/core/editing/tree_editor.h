// Editing input values in the parameter tree: typed values, choices from enumerations and
// derived types, new array elements, dropped values. Every change goes straight into the
// field's IOMessage object, so the Input node's array is always ready to be sent.
#pragma once

#include <optional>

#include <QStringList>

#include "workbench/core/editing/record_list.h"
#include "workbench/core/session/workbench_context.h"

namespace sondar {

// The in-place choice list for a node: its items and the one to preselect.
struct ChoiceList {
    QStringList items;
    int preselected = 0;
};

class TreeEditor {
  public:
    TreeEditor(WorkbenchContext& context, TCIOMessage& factory)
        : ctx_(context), factory_(factory) {}

    // Only value nodes under an Input node can be edited.
    static bool isEditableValue(const TNVTreeNode* node);
    // A value node of a date-time field: edited with the date picker, not typed.
    static bool isDateTimeValue(const TNVTreeNode* node);
    // The Input node above `node`, or null (the Input node itself counts).
    static TNVTreeNode* inputNodeOf(TNVTreeNode* node);

    // A typed (or dropped) value: the caption and the field's value.
    void commitValue(TNVTreeNode* valueNode, const QString& text);

    // What the choice list offers for the selected node, if anything.
    std::optional<ChoiceList> choiceListFor(const TNVTreeNode* node) const;
    // The user chose `text` from the node's choice list.
    void applyChoice(TNVTreeNode* node, const QString& text);

    // Gives a structure that offers derived types the fields of `typeName`; false (with the
    // status "Replace element failed.") when that fails.
    bool chooseType(TNVTreeNode* structure, const QString& typeName);

    // "Add new array element" on the selected node; reports refusals and failures. A restore
    // adds the `count` elements a file needs in one step (one rebuild instead of one each).
    bool addArrayElement(TNVTreeNode* selected, int count = 1);

  private:
    bool replaceStructure(TNVTreeNode* structure, const IOMessageArray& typeRecords);
    // Builds the Input node's subtree anew from `records`, keeping the values of boolean
    // fields, and selects the field `fieldName` at `recordLevel` below the first node
    // captioned `parentCaption`. The texts are copies: the old nodes go with the rebuild.
    void rebuildInput(TNVTreeNode* input, const std::vector<IOMessageRef>& records,
                      QString parentCaption, QString fieldName, int recordLevel);
    void refuse(const QString& message);

    WorkbenchContext& ctx_;
    TCIOMessage& factory_;
};

}  // namespace sondar
