// "Analyze": reads the WSDL at the location box's address through the engine, fills the
// "Services:" box and builds the parameter tree of the chosen service's operations.
#pragma once

#include "workbench/core/session/workbench_context.h"
#include "workbench/core/tree/subtree_builder.h"

namespace sondar {

class AnalyzeFlow {
  public:
    explicit AnalyzeFlow(WorkbenchContext& context) : ctx_(context) {}

    // The whole analyse; true when the tree was built. Failures are reported (message box, or
    // the batch reason in a batch run) and return false.
    bool analyze();
    // The "Services:" box now shows `serviceName` at `index`: analyse again when the service
    // differs from the current one.
    bool serviceChanged(int index, const QString& serviceName);

  private:
    bool connect(const QString& location, QStringList& services);
    void reportConnectFailure(const QString& comMessage, const QString& engineText, bool comError);
    void reportFailure(const QString& status, const QString& batchReason,
                       const QString& engineText);
    bool buildOperations(TNVTreeNode* root, const QStringList& operations);
    // Adds the operation's "Input" or "Output" node with the fields of its message.
    bool addMessage(TNVTreeNode* operation, MessageDirection direction);
    void expandToFirstField(TNVTreeNode* root);

    WorkbenchContext& ctx_;
};

}  // namespace sondar
