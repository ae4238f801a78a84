// Fuzz target: re-indenting a SOAP message for the viewer. The layout may change only the
// whitespace between tags: every other character of the message must come out in order.
#include <cstddef>
#include <cstdint>

#include <QString>

#include "workbench/dialogs/xml_indent.h"

namespace {

QString withoutWhitespace(const QString& text) {
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text)
        if (!c.isSpace())
            kept.append(c);
    return kept;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString message =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString shown = sondar::indentXml(message);
    if (withoutWhitespace(shown) != withoutWhitespace(message))
        __builtin_trap();
    return 0;
}
