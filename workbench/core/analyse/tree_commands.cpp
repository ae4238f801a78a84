#include "workbench/core/analyse/tree_commands.h"

#include "workbench/core/engine/engine_texts.h"
#include "workbench/core/tree/kb_index.h"

namespace sondar {

TNVTreeNode* operationOf(TNVTreeNode* node) {
    while (node && node->kind() != NodeKind::Operation)
        node = node->parent();
    return node;
}

void TreeCommands::clearAllValues(MessageDirection direction) {
    TNVTreeNode* root = ctx_.tree.root();
    if (!root || !root->hasChildren()) {
        ctx_.messages.showMessage(
            QStringLiteral("     Please connect to a Web service first.     "));
        return;
    }
    const QString which =
        direction == MessageDirection::Input ? QStringLiteral("input") : QStringLiteral("output");
    const MessageAnswer answer = ctx_.messages.ask(
        QStringLiteral("Clear ") + which + QStringLiteral(" values for ALL operations?"),
        MessageButtons::YesNo);
    if (answer != MessageAnswer::Yes) {
        ctx_.status.setStatus(QStringLiteral("Clear Canceled"));
        return;
    }
    WaitCursor wait(ctx_.status);
    ctx_.status.setStatus(QStringLiteral("Clearing..."));
    ctx_.view.removeChoiceList();
    for (int i = 0; i < root->childCount(); ++i)
        if (!rebuild(root->child(i), direction))
            return;
    ctx_.view.expandNode(root);
    ctx_.status.setStatus(QStringLiteral("Clear Successful"));
    if (!ctx_.state.knowledgeBaseHits.isEmpty())
        computeKnowledgeBaseIndexes(ctx_.tree, ctx_.state.currentService,
                                    ctx_.state.knowledgeBaseHits);
}

void TreeCommands::clearOperationValues(TNVTreeNode* node, MessageDirection direction) {
    TNVTreeNode* operation = operationOf(node);
    if (!operation)
        return;
    WaitCursor wait(ctx_.status);
    ctx_.status.setStatus(QStringLiteral("Clearing..."));
    ctx_.view.removeChoiceList();
    if (!rebuild(operation, direction))
        return;
    ctx_.view.expandNode(ctx_.tree.root());
    ctx_.status.setStatus(QStringLiteral("Clear Successful"));
    if (!ctx_.state.knowledgeBaseHits.isEmpty())
        computeKnowledgeBaseIndexes(ctx_.tree, ctx_.state.currentService,
                                    ctx_.state.knowledgeBaseHits);
}

bool TreeCommands::rebuildAll(MessageDirection direction) {
    TNVTreeNode* root = ctx_.tree.root();
    for (int i = 0; root && i < root->childCount(); ++i)
        if (!rebuild(root->child(i), direction))
            return false;
    return true;
}

bool TreeCommands::rebuild(TNVTreeNode* operation, MessageDirection direction) {
    const bool input = direction == MessageDirection::Input;
    TNVTreeNode* message = nullptr;
    for (int i = 0; i < operation->childCount(); ++i) {
        const NodeKind kind = operation->child(i)->kind();
        if (kind == (input ? NodeKind::InputMessage : NodeKind::OutputMessage))
            message = operation->child(i);
    }
    if (!message)
        return true;

    auto records = std::make_shared<IOMessageArray>();
    QString errorText;
    if (!fetchMessageStructure(ctx_.control, operation->caption(), direction, *records,
                               errorText)) {
        ctx_.state.lastEngineError = errorText;
        ctx_.messages.showMessage(engineErrorMessage(errorText.trimmed()));
        ctx_.status.setStatus(input ? QStringLiteral("Could Not Get Input Structure")
                                    : QStringLiteral("Could Not Get Output Structure"));
        return false;
    }
    // The new fields point into the new array, so the message node must hold it, for input as
    // well as output: the next invoke sends what the node holds.
    auto children = buildMessageSubtree(*records, direction);
    ctx_.tree.replaceChildren(message, std::move(children));
    message->setData(records);
    return true;
}

void TreeCommands::expandTree() {
    if (ctx_.tree.empty()) {
        ctx_.messages.showMessage(QStringLiteral(
            "Web services tree has no entries. Try connecting to a Web service first."));
        return;
    }
    expandAll(ctx_.tree.root(), QStringLiteral("Expanding tree..."));
}

void TreeCommands::collapseTree() {
    if (ctx_.tree.empty()) {
        ctx_.messages.showMessage(QStringLiteral(
            "Web services tree has no entries. Try connecting to a Web service first."));
        return;
    }
    ctx_.view.collapseAllBelow(ctx_.tree.root());
}

void TreeCommands::expandItemAndChildren(TNVTreeNode* node) {
    if (node)
        expandAll(node, QStringLiteral("Expanding item and children..."));
}

void TreeCommands::expandItemOnly(TNVTreeNode* node) {
    if (node)
        ctx_.view.expandNode(node);
}

void TreeCommands::expandAll(TNVTreeNode* node, const QString& status) {
    WaitCursor wait(ctx_.status);
    ctx_.status.setStatus(status);
    ctx_.view.setTreeVisible(false);
    expandingAll_ = true;
    ctx_.view.expandAllBelow(node);
    expandingAll_ = false;
    ctx_.view.setTreeVisible(true);
    ctx_.status.setStatus(QString());
}

}  // namespace sondar
