#include "workbench/core/engine/engine_texts.h"

namespace sondar {

QString engineErrorMessage(const QString& engineText) {
    return QStringLiteral("     Error: ") + engineText + QStringLiteral("     ");
}

bool asksForCredentials(const QString& engineText) {
    return engineText.contains(QLatin1String("Unauthorized")) ||
           engineText.contains(QLatin1String("Not Authorized"));
}

QString cutAtNul(const QString& text) {
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.left(nul);
}

}  // namespace sondar
