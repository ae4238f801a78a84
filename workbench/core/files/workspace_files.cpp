#include "workbench/core/files/workspace_files.h"

#include <QFile>

#include "workbench/core/files/saving.h"
#include "workbench/core/files/workspace_file.h"
#include "workbench/core/invoke/result_display.h"
#include "workbench/core/tree/kb_index.h"
#include "workbench/core/tree/subtree_builder.h"

namespace sondar {

namespace {

const QString kWorkspaceFilter = QStringLiteral("Norvale WorkSpace (*.nws);;All files (*)");

StoredRecord storedRecord(const IOMessageRef& m) {
    StoredRecord r;
    r.level = m.level();
    r.arrayMin = m.arrayMin();
    r.arrayMax = m.arrayMax();
    r.isArray = m.isArray();
    r.isComplexType = m.isComplexType();
    r.isAttribute = m.isAttribute();
    r.isSimpleDataField = m.isSimpleDataField();
    r.hasEnumValues = m.hasEnumValues();
    r.isHeader = m.isHeader();
    r.isRequired = m.isRequired();
    r.fieldName = m.fieldName();
    r.info = m.info();
    r.dataType = m.dataType();
    r.theData = m.theData();
    r.description = m.description();
    r.prefix = m.prefix();
    return r;
}

IOMessageRef restoredRecord(TCIOMessage& factory, const StoredRecord& r) {
    IOMessageRef m = factory.create();
    m.setLevel(r.level);
    m.setArrayMin(r.arrayMin);
    m.setArrayMax(r.arrayMax);
    m.setIsArray(r.isArray);
    m.setIsComplexType(r.isComplexType);
    m.setIsAttribute(r.isAttribute);
    m.setIsSimpleDataField(r.isSimpleDataField);
    m.setHasEnumValues(r.hasEnumValues);
    m.setIsHeader(r.isHeader);
    m.setIsRequired(r.isRequired);
    m.setFieldName(r.fieldName);
    m.setInfo(r.info);
    m.setDataType(r.dataType);
    m.setTheData(r.theData);
    m.setDescription(r.description);
    m.setPrefix(r.prefix);
    return m;
}

}  // namespace

void WorkspaceFiles::addRecent(const QString& path) {
    recent_.removeAll(path);
    recent_.prepend(path);
    ctx_.view.recentWorkspacesChanged();
}

bool WorkspaceFiles::saveWorkspace() {
    MainState& state = ctx_.state;
    if (!state.treeExists || ctx_.tree.empty() || state.locationEdited) {
        ctx_.messages.showMessage(QStringLiteral(
            "The selected WSDL and Service must be Analyzed before saving workspace."));
        return false;
    }
    ctx_.status.setStatus(QStringLiteral("Saving Workspace..."));
    WorkspaceContent content;
    content.wsdl = state.currentWsdl;
    for (qsizetype i = 0; i < state.serviceArray.size(); i += 2)
        content.services.append(state.serviceArray[i]);
    content.chosenService = state.currentService;
    content.serviceDocumentation = state.serviceDocumentation;
    content.nodeCount = ctx_.tree.count();
    TNVTreeNode* root = ctx_.tree.root();
    content.nodes.push_back({static_cast<qint32>(root->kind()), 0, root->caption(), 0, {}});
    for (int i = 0; i < root->childCount(); ++i) {
        const TNVTreeNode* operation = root->child(i);
        content.nodes.push_back({static_cast<qint32>(operation->kind()),
                                 1,
                                 operation->caption(),
                                 operation->operationDocIndex(),
                                 {}});
        for (int j = 0; j < operation->childCount(); ++j) {
            const TNVTreeNode* message = operation->child(j);
            StoredNode node{static_cast<qint32>(message->kind()), 2, message->caption(), 0, {}};
            if (const IOMessageArray* records = message->messageArray())
                for (std::size_t k = 0; k < records->size(); ++k)
                    node.records.push_back(storedRecord(records->at(k)));
            content.nodes.push_back(std::move(node));
        }
    }
    content.gridOperation = state.gridOperation;

    const QString path =
        chooseSavePath(files_, QStringLiteral("Save Workspace"), state.options.workingDirectory,
                       kWorkspaceFilter, QStringLiteral("nws"));
    if (path.isEmpty()) {
        ctx_.status.setStatus(QStringLiteral("Workspace Save Canceled"));
        return false;
    }
    WaitCursor wait(ctx_.status);
    const QByteArray stream = deflateWorkspace(encodeWorkspace(content));
    QString error = QStringLiteral("The content could not be compressed");
    if (stream.isEmpty() || !writeWholeFile(path, stream, error)) {
        ctx_.status.setStatus(QStringLiteral("Error Saving Workspace"));
        ctx_.messages.showMessage(QStringLiteral("File error: ") + error +
                                  QStringLiteral("\nThe Workspace could not be saved."));
        return false;
    }
    addRecent(path);
    ctx_.status.setStatus(QStringLiteral("Workspace Saved"));
    return true;
}

bool WorkspaceFiles::openWorkspace(const QString& given) {
    ctx_.status.setStatus(QStringLiteral("Opening Workspace..."));
    const QString path =
        !given.isEmpty() ? given
        : files_         ? files_->getOpenFileName(QStringLiteral("Open Workspace"),
                                                   ctx_.state.options.workingDirectory, kWorkspaceFilter)
                         : QString();
    if (path.isEmpty()) {
        ctx_.status.setStatus(QStringLiteral("Workspace Open Canceled"));
        return false;
    }
    WaitCursor wait(ctx_.status);
    ctx_.prompts.beginCommand();
    return openFile(path);
}

void WorkspaceFiles::failOpen(const QString& message) {
    ctx_.view.removeChoiceList();
    ctx_.tree.clear();
    ctx_.state.treeExists = false;
    ctx_.status.setStatus(QStringLiteral("Error Opening Workspace"));
    ctx_.messages.showMessage(message);
}

bool WorkspaceFiles::openFile(const QString& path) {
    MainState& state = ctx_.state;
    state.serviceArray.clear();
    state.operationArray.clear();
    ctx_.view.resetResultGrid();

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        failOpen(QStringLiteral("File error: ") + file.errorString() +
                 QStringLiteral("\nThe Workspace could not be opened."));
        return false;
    }
    QString error;
    const auto inflated = inflateWorkspace(file.readAll(), error);
    const auto content = inflated ? decodeWorkspace(*inflated, error) : std::nullopt;
    if (!content) {
        failOpen(QStringLiteral("File error: ") + error +
                 QStringLiteral("\nThe Workspace could not be opened."));
        return false;
    }

    state.currentWsdl = content->wsdl;
    ctx_.view.setLocationText(content->wsdl);
    const qsizetype chosen = content->services.indexOf(content->chosenService);
    ctx_.view.setServices(content->services, chosen < 0 ? 0 : static_cast<int>(chosen),
                          QStringLiteral("Right click to see WSDL documentation."));
    state.serviceDocumentation = content->serviceDocumentation;

    QString engineText;
    try {
        QStringList services;
        ctx_.prompts.callWithCredentials(ctx_.control, engineText, [&] {
            ctx_.control.ConnectWSDL(content->wsdl, services, engineText);
        });
        state.serviceArray = services;
        state.currentService = ctx_.view.serviceBoxText();
        ctx_.control.GetOperations(state.currentService, state.operationArray, engineText);
    } catch (const std::exception&) {
        failOpen(QStringLiteral("File error. The Workspace could not be opened.\n") + engineText);
        return false;
    }

    TNVTreeNode* root = nullptr;
    TNVTreeNode* operation = nullptr;
    try {
        TNVTree::ResetScope reset(ctx_.tree);
        ctx_.view.removeChoiceList();
        ctx_.tree.clear();
        for (const StoredNode& stored : content->nodes) {
            if (stored.level == 0 && stored.caption == QLatin1String("Operations") && !root) {
                auto node = std::make_unique<TNVTreeNode>(NodeKind::Root, stored.caption);
                node->KBIndex = -1;
                root = ctx_.tree.addRoot(std::move(node));
            } else if (stored.level == 1 && root) {
                auto node = std::make_unique<TNVTreeNode>(NodeKind::Operation, stored.caption);
                const qsizetype position = state.operationArray.indexOf(stored.caption);
                node->setData(static_cast<int>(position < 0 ? -1 : position + 1));
                operation = root->appendChild(std::move(node));
            } else if (stored.level == 2 && operation) {
                const bool output = stored.caption == QLatin1String("Output");
                auto node = std::make_unique<TNVTreeNode>(
                    output ? NodeKind::OutputMessage : NodeKind::InputMessage, stored.caption);
                node->KBIndex = -1;
                std::vector<IOMessageRef> records;
                for (const StoredRecord& record : stored.records)
                    records.push_back(restoredRecord(factory_, record));
                auto array =
                    std::make_shared<IOMessageArray>(IOMessageArray::fromMessages(records));
                for (auto& child : buildMessageSubtree(
                         *array, output ? MessageDirection::Output : MessageDirection::Input))
                    node->appendChild(std::move(child));
                node->setData(array);
                operation->appendChild(std::move(node));
            }
        }
    } catch (const std::exception&) {
        failOpen(QStringLiteral("File error. The Workspace could not be opened.\n"));
        return false;
    }
    if (!root) {
        failOpen(
            QStringLiteral("File error: Unexpected value in workspace file\nThe Workspace "
                           "could not be opened."));
        return false;
    }

    ctx_.view.expandNode(root);
    for (int i = 0; i < root->childCount(); ++i) {
        TNVTreeNode* op = root->child(i);
        if (content->gridOperation.isEmpty() || op->caption() != content->gridOperation)
            continue;
        ctx_.view.selectNode(op);
        ctx_.view.expandNode(op);
        ctx_.view.expandNode(op->lastChild());
        state.textLines.append(QString());
        displayValues(op->lastChild(), state.resultGrid, state.textLines);
        state.gridOperation = op->caption();
        ctx_.view.resultViewsChanged();
        break;
    }
    state.treeExists = true;
    state.locationEdited = false;
    ctx_.status.setStatus(QStringLiteral("Workspace Opened"));
    const QString stored = ctx_.history.add(content->wsdl);
    ctx_.view.setLocationText(stored);
    ctx_.view.wsdlHistoryChanged();
    addRecent(path);
    if (!state.knowledgeBaseHits.isEmpty())
        computeKnowledgeBaseIndexes(ctx_.tree, state.currentService, state.knowledgeBaseHits);
    return true;
}

}  // namespace sondar
