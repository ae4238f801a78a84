// One node of the parameter tree: caption, kind (also its picture and its number in workspace
// files), what the node refers to, and the fields the editing and knowledge-base features use.
#pragma once

#include <memory>
#include <optional>
#include <variant>
#include <vector>

#include <QString>
#include <QStringList>

#include "workbench/core/engine/io_message.h"

namespace sondar {

// Fixed numbers: they are stored in workspace files.
enum class NodeKind : int {
    Root = 0,
    Operation = 1,
    InputMessage = 2,
    OutputMessage = 3,
    Structure = 4,
    SimpleField = 5,
    Value = 6,
    Type = 7,
    AttributeField = 8,
};

class TNVTreeNode {
  public:
    // What the node's data reference holds, by kind: nothing; the operation's documentation
    // position (operations); the message's IOMessage array, owned (Input/Output); the field's
    // IOMessage (fields; the array owns the object, the node only keeps a reference); the
    // allowed values, owned (enumerated value nodes).
    using Data = std::variant<std::monostate, int, std::shared_ptr<IOMessageArray>, IOMessageRef,
                              QStringList>;

    TNVTreeNode(NodeKind kind, QString caption) : kind_(kind), caption_(std::move(caption)) {}
    TNVTreeNode(const TNVTreeNode&) = delete;
    TNVTreeNode& operator=(const TNVTreeNode&) = delete;

    NodeKind kind() const { return kind_; }
    void setKind(NodeKind kind) { kind_ = kind; }
    const QString& caption() const { return caption_; }
    void setCaption(const QString& caption) { caption_ = caption; }

    TNVTreeNode* parent() const { return parent_; }
    int row() const { return row_; }
    int childCount() const { return static_cast<int>(children_.size()); }
    TNVTreeNode* child(int i) const { return children_[static_cast<std::size_t>(i)].get(); }
    TNVTreeNode* firstChild() const {
        return children_.empty() ? nullptr : children_.front().get();
    }
    TNVTreeNode* lastChild() const { return children_.empty() ? nullptr : children_.back().get(); }
    bool hasChildren() const { return !children_.empty(); }
    // Depth below the root (the root is 0).
    int level() const;

    // Structural changes go through TNVTree so views hear about them; these are its tools.
    TNVTreeNode* appendChild(std::unique_ptr<TNVTreeNode> child);
    void insertChild(int row, std::unique_ptr<TNVTreeNode> child);
    std::unique_ptr<TNVTreeNode> takeChild(int row);
    std::vector<std::unique_ptr<TNVTreeNode>> takeChildren();

    const Data& data() const { return data_; }
    void setData(Data data) { data_ = std::move(data); }
    // The field's IOMessage for field nodes, else a null reference.
    IOMessageRef message() const;
    // The message array of an Input/Output node, else null.
    IOMessageArray* messageArray() const;
    // The documentation position of an operation node, else -1.
    int operationDocIndex() const;
    // The allowed values of an enumerated value node, else null.
    const QStringList* enumList() const;

    int KBIndex = 0;
    bool HasEnumList = false;
    bool DatePicked = false;
    // Days since 1899-12-30, stored by the date picker when DatePicked is set.
    std::optional<double> pickedDateTime;
    QString SelectedType;

  private:
    void renumberFrom(int row);

    NodeKind kind_;
    QString caption_;
    Data data_;
    TNVTreeNode* parent_ = nullptr;
    int row_ = 0;
    std::vector<std::unique_ptr<TNVTreeNode>> children_;
};

}  // namespace sondar
