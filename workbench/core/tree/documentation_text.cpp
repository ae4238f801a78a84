#include "workbench/core/tree/documentation_text.h"

namespace sondar {

namespace {

QString fromWsdl(const QString& documentation, const QString& ending) {
    if (documentation.isEmpty())
        return QStringLiteral("No documentation provided in WSDL.\n");
    return QStringLiteral("FromWSDL:\n") + documentation + ending;
}

// The value of a name=value entry of the hits list.
QString hitValue(const QString& entry) {
    const qsizetype separator = entry.indexOf(QLatin1Char('='));
    return separator < 0 ? QString() : entry.mid(separator + 1);
}

}  // namespace

QString nodeDocumentation(const TNVTreeNode* node, const MainState& state) {
    if (!node)
        return {};
    QString text;
    if (node->kind() == NodeKind::Root)
        return QStringLiteral("Right-click on any node for function menu...");
    if (node->kind() == NodeKind::Operation) {
        const int position = node->operationDocIndex();
        const QString documentation = position >= 0 && position < state.operationArray.size()
                                          ? state.operationArray[position]
                                          : QString();
        text = fromWsdl(documentation, QStringLiteral("\n\n"));
    }
    // Position 0 is a real entry once indexes are computed (they are whenever there are hits).
    if (node->KBIndex >= 0 && node->KBIndex < state.knowledgeBaseHits.size())
        text += QStringLiteral("From KnowledgeBase:\n") +
                hitValue(state.knowledgeBaseHits[node->KBIndex]);
    return text;
}

QString serviceDocumentation(int selectedIndex, const QString& serviceName,
                             const MainState& state) {
    QString documentation = QStringLiteral("No service selected.");
    if (selectedIndex >= 0)
        documentation = state.serviceDocumentation.value(selectedIndex);
    QString text = fromWsdl(documentation, QStringLiteral("\n"));
    const QString key = serviceName + QLatin1Char('=');
    for (const QString& entry : state.knowledgeBaseHits) {
        if (entry.startsWith(key)) {
            text += QStringLiteral("\nFrom KnowledgeBase:\n") + hitValue(entry);
            break;
        }
    }
    return text;
}

}  // namespace sondar
