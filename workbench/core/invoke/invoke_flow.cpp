#include "workbench/core/invoke/invoke_flow.h"

#include "workbench/core/analyse/tree_commands.h"
#include "workbench/core/engine/engine_texts.h"
#include "workbench/core/invoke/invocation_log.h"
#include "workbench/core/invoke/result_display.h"
#include "workbench/core/tree/kb_index.h"
#include "workbench/core/tree/subtree_builder.h"

namespace sondar {

namespace {

void logFieldValues(InvocationLog& log, const QString& heading, const TNVTreeNode* message) {
    log.writeLine(QString());
    log.writeLine(heading);
    forEachNode(const_cast<TNVTreeNode*>(message), [&log](TNVTreeNode* node) {
        if (node->kind() != NodeKind::SimpleField)
            return;
        const TNVTreeNode* value = node->firstChild();
        log.writeLine(node->caption() + QStringLiteral(" = ") +
                      (value ? value->caption() : QString()));
    });
}

}  // namespace

QString InvokeFlow::logFilePath() const {
    return ctx_.state.options.workingDirectory + QStringLiteral("logfile.txt");
}

bool InvokeFlow::invoke(TNVTreeNode* selected) {
    MainState& state = ctx_.state;
    ctx_.view.removeChoiceList();
    if (!selected || selected->kind() == NodeKind::Root) {
        ctx_.status.setStatus(QStringLiteral("Invoke Canceled"));
        ctx_.messages.showMessage(
            QStringLiteral("You must first select the operation on the tree you wish to invoke."));
        return false;
    }
    WaitCursor wait(ctx_.status);
    ctx_.prompts.beginCommand();
    ctx_.status.setStatus(QStringLiteral("Invoking..."));

    InvocationLog log;
    if (log.open(logFilePath())) {
        log.writeLine(QStringLiteral("BEGIN: ") + logTimestamp(clock_.now()));
        log.writeLine(QStringLiteral("WSDL: ") + ctx_.view.locationText());
        log.writeLine(QStringLiteral("SERVICE: ") + ctx_.view.serviceBoxText());
    }
    ctx_.view.endEditing();
    TNVTreeNode* operation = operationOf(selected);
    if (!operation || operation->childCount() < 2) {
        ctx_.status.setStatus(QStringLiteral("Invoke Canceled"));
        return false;
    }
    TNVTreeNode* input = operation->firstChild();
    TNVTreeNode* output = operation->lastChild();
    log.writeLine(QStringLiteral("OPERATION: ") + operation->caption());

    // The old answer goes before the call: a failed call leaves blank values, never stale ones.
    output->setData(std::make_shared<IOMessageArray>());
    for (int i = 0; i < output->childCount(); ++i)
        forEachNode(output->child(i), [this](TNVTreeNode* node) {
            if (node->kind() == NodeKind::Value) {
                node->setCaption(QString());
                ctx_.tree.changed(node);
            }
            if (!node->HasEnumList)
                node->setData(std::monostate{});
        });

    IOMessageArray emptyInput;
    IOMessageArray& inputRecords = input->messageArray() ? *input->messageArray() : emptyInput;
    auto outputRecords = std::make_shared<IOMessageArray>();
    QString errorText;
    QDateTime started;
    QDateTime finished;
    bool ok = false;
    try {
        // A retry after asking for credentials is timed on its own.
        ctx_.prompts.callWithCredentials(ctx_.control, errorText, [&] {
            started = clock_.now();
            ctx_.control.InvokeOperation(operation->caption(), inputRecords, *outputRecords,
                                         errorText);
            finished = clock_.now();
        });
        ok = true;
    } catch (const std::exception&) {
        ok = false;
    }

    if (!ok) {
        state.lastEngineError = errorText;
        ctx_.status.setStatus(QStringLiteral("Could Not Invoke"));
        if (state.batch.batchMode)
            state.batch.fail(QStringLiteral("Could Not Invoke"));
        else
            ctx_.messages.showMessage(engineErrorMessage(cutAtNul(errorText).trimmed()));
        log.writeLine(QStringLiteral("*** DID NOT COMPLETE: ERROR ***"));
        log.writeLine(QString());
        log.close();
        return false;
    }

    output->setData(outputRecords);
    ctx_.tree.removeChildren(output);
    ctx_.view.expandNode(operation);
    if (!outputRecords->empty()) {
        ctx_.tree.replaceChildren(output,
                                  buildMessageSubtree(*outputRecords, MessageDirection::Output));
        ctx_.view.expandNode(output);
    }
    const QString elapsed = elapsedText(started.msecsTo(finished));

    state.textLines.append(QString());
    displayValues(output, state.resultGrid, state.textLines);
    state.gridOperation = operation->caption();
    ctx_.view.resultViewsChanged();

    if (log.isOpen()) {
        if (state.options.writeInputValues)
            logFieldValues(log, QStringLiteral("INPUT DATA"), input);
        if (state.options.writeOutputValues)
            logFieldValues(log, QStringLiteral("OUTPUT DATA"), output);
        log.writeLine(QString());
        log.writeLine(QStringLiteral("END: ") + logTimestamp(clock_.now()));
        log.writeLine(QStringLiteral("ELAPSED TIME: ") + elapsed);
        log.writeLine(QString(62, QLatin1Char('-')));
        log.writeLine(QString());
    }
    log.close();

    if (!state.knowledgeBaseHits.isEmpty())
        computeKnowledgeBaseIndexes(ctx_.tree, state.currentService, state.knowledgeBaseHits);
    ctx_.status.setStatus(QStringLiteral("Invocation Successful - ") + elapsed);
    return true;
}

bool InvokeFlow::showSoapMessages(TNVTreeNode* selected) {
    if (!selected || selected->kind() == NodeKind::Root) {
        ctx_.messages.showMessage(
            QStringLiteral("You must first select an operation on the tree."));
        return false;
    }
    WaitCursor wait(ctx_.status);
    ctx_.status.setStatus(QStringLiteral("Creating SOAP message..."));
    ctx_.view.endEditing();
    TNVTreeNode* operation = operationOf(selected);
    if (!operation || !operation->hasChildren())
        return false;
    IOMessageArray emptyInput;
    TNVTreeNode* input = operation->firstChild();
    IOMessageArray& records = input->messageArray() ? *input->messageArray() : emptyInput;

    QString request;
    QString response;
    QString errorText;
    try {
        ctx_.control.GetInputSoapMessage(operation->caption(), records, request, errorText);
    } catch (const std::exception&) {
        ctx_.status.setStatus(QStringLiteral("Could Not Create Input SOAP message"));
        ctx_.messages.showMessage(engineErrorMessage(errorText.trimmed()));
        return false;
    }
    try {
        ctx_.control.GetOutputSoapMessage(operation->caption(), response, errorText);
    } catch (const std::exception&) {
        ctx_.status.setStatus(QStringLiteral("Could Not Create Output SOAP message"));
        ctx_.messages.showMessage(engineErrorMessage(errorText.trimmed()));
        return false;
    }
    ctx_.status.setStatus(QStringLiteral("Viewing SOAP Message..."));
    ctx_.view.showSoapMessages(request.trimmed(), response.trimmed());
    ctx_.status.setStatus(QStringLiteral("View SOAP Message Successful"));
    return true;
}

void InvokeFlow::displayDataInGrid(TNVTreeNode* selected) {
    TNVTreeNode* operation = operationOf(selected);
    if (!operation || !operation->hasChildren())
        return;
    TNVTreeNode* output = operation->lastChild();
    ctx_.view.expandNode(output);
    ctx_.state.textLines.append(QString());
    displayValues(output->firstChild(), ctx_.state.resultGrid, ctx_.state.textLines);
    ctx_.state.gridOperation = operation->caption();
    ctx_.view.resultViewsChanged();
}

void InvokeFlow::clearTextView() {
    ctx_.state.textLines.clear();
    ctx_.view.resultViewsChanged();
    ctx_.status.setStatus(QStringLiteral("Text View Cleared"));
}

}  // namespace sondar
