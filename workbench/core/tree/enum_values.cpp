#include "workbench/core/tree/enum_values.h"

namespace sondar {

namespace {

void appendUnique(QStringList& values, const QString& piece) {
    if (!values.contains(piece, Qt::CaseInsensitive))
        values.append(piece);
}

}  // namespace

QStringList splitAllowedValues(const QString& source) {
    constexpr qsizetype kMaxRest = 255;
    QStringList values;
    QString rest = source;
    for (qsizetype separator = rest.indexOf(QLatin1Char('|')); separator >= 0;
         separator = rest.indexOf(QLatin1Char('|'))) {
        appendUnique(values, rest.left(separator).trimmed());
        rest = rest.mid(separator + 1, kMaxRest);
    }
    appendUnique(values, rest.trimmed());
    return values;
}

}  // namespace sondar
