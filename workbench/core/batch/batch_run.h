// The unattended run: analyse, restore the input values, invoke one operation, and report
// to the batch log. Started with four or five command-line parameters.
#pragma once

#include <QStringList>

#include "workbench/core/batch/batch_log.h"

namespace sondar {

class TNVTreeNode;
class WorkbenchCore;

class BatchRun {
  public:
    explicit BatchRun(WorkbenchCore& core) : core_(core) {}

    // Opens the log (parameter 5, else the configured batch log) and writes the start block,
    // or the reason of a wrong parameter count. When the log cannot be written, the error
    // goes to the configured batch log instead and the result is false.
    bool openLog(const QStringList& parameters);
    // The run itself; true when it was successful. Writes the rest of the report.
    bool run(const QStringList& parameters);

  private:
    bool restoreInput(TNVTreeNode* operation, const QString& inputFile);
    bool invoke(TNVTreeNode* operation);
    void writeValues(TNVTreeNode* operation);
    bool write(const QString& line);

    WorkbenchCore& core_;
    BatchLog log_;
    QString logPath_;
};

// The value lines of a message node: "field = value" for every simple field, in tree order.
QStringList simpleFieldLines(const TNVTreeNode* message);

}  // namespace sondar
