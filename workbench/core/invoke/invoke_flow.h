// "Invoke": sends the selected operation's input records, rebuilds its output subtree from
// the answer, shows the values in the grid and text view, and logs the call. Also the other
// views of a call: the SOAP messages and "Display data in grid".
#pragma once

#include "workbench/core/seams/clock.h"
#include "workbench/core/session/workbench_context.h"

namespace sondar {

class InvokeFlow {
  public:
    InvokeFlow(WorkbenchContext& context, const Clock& clock) : ctx_(context), clock_(clock) {}

    // Invokes the operation of `selected` (the operation node or any node below it). True
    // when the call succeeded; failures are reported (message, or the batch reason).
    bool invoke(TNVTreeNode* selected);
    // The request and response of the selected operation, handed to the SOAP viewer.
    bool showSoapMessages(TNVTreeNode* selected);
    // "Display data in grid" on an operation or Output node.
    void displayDataInGrid(TNVTreeNode* selected);
    // Empties the text view.
    void clearTextView();

    QString logFilePath() const;

  private:
    WorkbenchContext& ctx_;
    const Clock& clock_;
};

}  // namespace sondar
