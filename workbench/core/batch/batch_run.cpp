#include "workbench/core/batch/batch_run.h"

#include "workbench/core/session/workbench_core.h"

namespace sondar {

QStringList simpleFieldLines(const TNVTreeNode* message) {
    QStringList lines;
    if (!message)
        return lines;
    forEachNode(const_cast<TNVTreeNode*>(message), [&lines](TNVTreeNode* node) {
        if (node->kind() != NodeKind::SimpleField)
            return;
        const TNVTreeNode* value = node->firstChild();
        lines.append(node->caption() + QStringLiteral(" = ") +
                     (value ? value->caption() : QString()));
    });
    return lines;
}

bool BatchRun::openLog(const QStringList& parameters) {
    BatchState& batch = core_.state().batch;
    const QString configured = core_.state().options.batchLogPath;
    logPath_ = parameters.size() >= 5 && !batch.shutdownRequested ? parameters[4] : configured;
    batch.logPath = logPath_;

    QStringList lines{batchSeparatorLine()};
    if (batch.shutdownRequested) {
        lines.append(batch.reason);
    } else {
        lines.append(QStringLiteral("Started: ") + batchTimestamp(core_.clock().now()));
        lines.append(QStringLiteral("WSDL: ") + parameters.value(0));
        lines.append(QStringLiteral("Service: ") + parameters.value(1));
        lines.append(QStringLiteral("Operation: ") + parameters.value(2));
        lines.append(QStringLiteral("Input File: ") + parameters.value(3));
    }
    bool ok = log_.open(logPath_);
    for (const QString& line : lines) {
        if (!ok)
            break;
        ok = log_.writeLine(line);
    }
    if (ok) {
        if (batch.shutdownRequested)
            log_.close();
        return true;
    }
    const QString error = log_.errorString();
    log_.close();
    if (logPath_ != configured)
        BatchLog::appendQuietly(configured, {QStringLiteral("Error with output file: ") + error});
    return false;
}

bool BatchRun::write(const QString& line) {
    return log_.writeLine(line);
}

bool BatchRun::run(const QStringList& parameters) {
    MainState& state = core_.state();
    BatchState& batch = state.batch;
    batch.wsdl = parameters.value(0);
    batch.service = parameters.value(1);
    batch.operation = parameters.value(2);
    batch.inputFile = parameters.value(3);
    core_.context().view.setLocationText(batch.wsdl);
    batch.stillGood = true;

    core_.analyzer().analyze();

    TNVTreeNode* operation = nullptr;
    if (batch.stillGood) {
        if (TNVTreeNode* root = core_.tree().root())
            for (int i = 0; i < root->childCount(); ++i)
                if (root->child(i)->caption() == batch.operation)
                    operation = root->child(i);  // the last one when several match
        if (!operation)
            batch.fail(QStringLiteral("Operation not found"));
        else
            restoreInput(operation, batch.inputFile);
    }
    if (batch.stillGood)
        invoke(operation);
    if (batch.stillGood)
        writeValues(operation);

    if (batch.stillGood) {
        write(QStringLiteral("*** Successful ***"));
    } else {
        write(QStringLiteral("*** Did Not Complete ***"));
        // Engine texts end in a line break of their own; the report keeps one line per item.
        write(QStringLiteral("Reason: ") + batch.reason.trimmed());
    }
    write(QStringLiteral("Finished: ") + batchTimestamp(core_.clock().now()));
    log_.close();
    return batch.stillGood;
}

bool BatchRun::restoreInput(TNVTreeNode* operation, const QString& inputFile) {
    return core_.inputFiles().restoreForBatch(operation, inputFile);
}

bool BatchRun::invoke(TNVTreeNode* operation) {
    return core_.invoker().invoke(operation);
}

void BatchRun::writeValues(TNVTreeNode* operation) {
    const TNVTreeNode* input = operation->childCount() > 0 ? operation->child(0) : nullptr;
    const TNVTreeNode* output = operation->childCount() > 1 ? operation->child(1) : nullptr;
    write(QString());
    write(QStringLiteral("Input values:"));
    for (const QString& line : simpleFieldLines(input))
        write(line);
    write(QString());
    write(QStringLiteral("Output values:"));
    for (const QString& line : simpleFieldLines(output))
        write(line);
    write(QString());
}

}  // namespace sondar
