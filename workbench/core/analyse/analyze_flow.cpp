#include "workbench/core/analyse/analyze_flow.h"

#include "workbench/core/engine/com_error.h"
#include "workbench/core/engine/engine_texts.h"
#include "workbench/core/tree/kb_index.h"
#include "workbench/core/tree/subtree_builder.h"

namespace sondar {

bool AnalyzeFlow::analyze() {
    MainState& state = ctx_.state;
    const bool batch = state.batch.batchMode;
    const QString location = ctx_.view.locationText().trimmed();
    if (location.isEmpty() && !batch) {
        ctx_.messages.showMessage(QStringLiteral("Please enter a WSDL location to analyze first."));
        return false;
    }

    WaitCursor wait(ctx_.status);
    ctx_.prompts.beginCommand();
    state.operationNames.clear();
    ctx_.view.removeChoiceList();
    state.treeExists = false;
    ctx_.tree.clear();  // releases every message array the tree held, each once
    state.knowledgeBaseFound = false;
    state.knowledgeBaseHits.clear();

    state.previousWsdl = state.currentWsdl;
    state.serviceArray.clear();
    state.currentWsdl = location;
    ctx_.status.setStatus(QStringLiteral("Analyzing...reading WSDL"));

    QStringList services;
    if (!connect(location, services))
        return false;
    state.serviceArray = services;

    QStringList names;
    state.serviceDocumentation.clear();
    for (qsizetype i = 0; i < services.size(); i += 2) {
        names.append(services[i]);
        state.serviceDocumentation.append(i + 1 < services.size() ? services[i + 1] : QString());
    }
    if (state.currentWsdl != state.previousWsdl || state.selectedServiceIndex >= names.size() ||
        state.selectedServiceIndex < 0)
        state.selectedServiceIndex = 0;
    ctx_.view.setServices(names, state.selectedServiceIndex,
                          QStringLiteral("Right click to see WSDL documentation."));

    bool built = false;
    TNVTreeNode* root = nullptr;
    {
        TNVTree::ResetScope reset(ctx_.tree);
        auto rootNode = std::make_unique<TNVTreeNode>(NodeKind::Root, QStringLiteral("Operations"));
        rootNode->KBIndex = -1;
        root = ctx_.tree.addRoot(std::move(rootNode));
        state.currentService = batch ? state.batch.service : ctx_.view.serviceBoxText();

        QString errorText;
        state.operationArray.clear();
        try {
            ctx_.control.GetOperations(state.currentService, state.operationArray, errorText);
        } catch (const std::exception&) {
            state.lastEngineError = errorText;
            reportFailure(QStringLiteral("Could Not Retrieve Operations"),
                          QStringLiteral("Could not retrieve operations"), errorText);
            return false;
        }
        if (state.operationArray.isEmpty()) {
            ctx_.status.setStatus(QStringLiteral("No Operations"));
            if (batch)
                state.batch.fail(QStringLiteral("Operations not retrieved"));
            else
                ctx_.messages.showMessage(QStringLiteral("     No operations retrieved. ") +
                                          errorText.trimmed() + QStringLiteral("     "));
            return false;
        }
        ctx_.status.setStatus(QStringLiteral("Analyzing...processing WSDL"));
        built = buildOperations(root, state.operationArray);
    }
    if (!built)
        return false;

    if (!batch) {
        ctx_.view.expandNode(root);
        ctx_.view.setTreeCommandsEnabled(true);
        const QString stored = ctx_.history.add(location);
        if (stored != ctx_.view.locationText())
            ctx_.view.setLocationText(stored);
        ctx_.view.wsdlHistoryChanged();
        if (state.options.clearGridOnAnalyze)
            ctx_.view.resetResultGrid();
        // Last, so that nothing done to the other controls takes the focus from the editor.
        expandToFirstField(root);
    }

    ctx_.status.setStatus(QStringLiteral("Analyzing... Successful"));
    state.treeExists = true;
    state.locationEdited = false;
    if (!state.knowledgeBaseHits.isEmpty())
        computeKnowledgeBaseIndexes(ctx_.tree, state.currentService, state.knowledgeBaseHits);
    return true;
}

bool AnalyzeFlow::serviceChanged(int index, const QString& serviceName) {
    if (serviceName == ctx_.state.currentService)
        return false;
    ctx_.state.selectedServiceIndex = index;
    return analyze();
}

bool AnalyzeFlow::connect(const QString& location, QStringList& services) {
    QString errorText;
    try {
        ctx_.prompts.callWithCredentials(ctx_.control, errorText, [&] {
            ctx_.control.ConnectWSDL(location, services, errorText);
        });
        return true;
    } catch (const EOleSysError& error) {
        reportConnectFailure(error.message(), errorText, true);
    } catch (const std::exception&) {
        reportConnectFailure(QString(), errorText, false);
    }
    return false;
}

void AnalyzeFlow::reportConnectFailure(const QString& comMessage, const QString& engineText,
                                       bool comError) {
    MainState& state = ctx_.state;
    state.lastEngineError = engineText;
    ctx_.status.setStatus(QStringLiteral("Analyzing...failed"));
    if (comError) {
        QString text = engineText;
        if (comMessage != QLatin1String("Unspecified error"))
            text = engineText.isEmpty() ? comMessage : comMessage + QLatin1Char('\n') + engineText;
        if (state.batch.batchMode)
            state.batch.fail(QStringLiteral("Error: ") + text);
        else
            ctx_.messages.showMessage(engineErrorMessage(text));
    } else if (state.batch.batchMode) {
        state.batch.fail(QStringLiteral("Connection to WSDL failed"));
    } else {
        ctx_.messages.showMessage(engineErrorMessage(cutAtNul(engineText).trimmed()));
    }
    state.currentWsdl.clear();
    state.currentService.clear();
}

void AnalyzeFlow::reportFailure(const QString& status, const QString& batchReason,
                                const QString& engineText) {
    ctx_.status.setStatus(status);
    if (ctx_.state.batch.batchMode)
        ctx_.state.batch.fail(batchReason);
    else
        ctx_.messages.showMessage(engineErrorMessage(engineText.trimmed()));
}

bool AnalyzeFlow::buildOperations(TNVTreeNode* root, const QStringList& operations) {
    for (qsizetype n = 0; 2 * n < operations.size(); ++n) {
        const QString& name = operations[2 * n];
        auto operation = std::make_unique<TNVTreeNode>(NodeKind::Operation, name);
        operation->setData(static_cast<int>(2 * n + 1));
        TNVTreeNode* operationNode = root->appendChild(std::move(operation));
        ctx_.state.operationNames.append(name);
        if (!addMessage(operationNode, MessageDirection::Input) ||
            !addMessage(operationNode, MessageDirection::Output))
            return false;
    }
    return true;
}

bool AnalyzeFlow::addMessage(TNVTreeNode* operation, MessageDirection direction) {
    const bool input = direction == MessageDirection::Input;
    auto messageNode =
        std::make_unique<TNVTreeNode>(input ? NodeKind::InputMessage : NodeKind::OutputMessage,
                                      input ? QStringLiteral("Input") : QStringLiteral("Output"));
    messageNode->KBIndex = -1;
    TNVTreeNode* message = operation->appendChild(std::move(messageNode));

    QString errorText;
    auto records = std::make_shared<IOMessageArray>();
    if (!fetchMessageStructure(ctx_.control, operation->caption(), direction, *records,
                               errorText)) {
        ctx_.state.lastEngineError = errorText;
        if (input)
            reportFailure(QStringLiteral("Could Not Get Input Structure"),
                          QStringLiteral("Could not get input structure"), errorText);
        else
            reportFailure(QStringLiteral("Could Not Get Output Structure"),
                          QStringLiteral("Could not get output structure"), errorText);
        return false;
    }
    message->setData(records);
    if (!records->empty())
        for (auto& child : buildMessageSubtree(*records, direction))
            message->appendChild(std::move(child));
    return true;
}

void AnalyzeFlow::expandToFirstField(TNVTreeNode* root) {
    if (root->childCount() != 1)
        return;
    TNVTreeNode* operation = root->firstChild();
    TNVTreeNode* input = operation->firstChild();
    if (!input || !input->hasChildren())
        return;
    ctx_.view.expandNode(operation);
    TNVTreeNode* node = input;
    while (node && node->kind() != NodeKind::SimpleField) {
        ctx_.view.expandNode(node);
        node = node->firstChild();
    }
    if (node)
        ctx_.view.openFieldEditor(node);
}

}  // namespace sondar
