// Re-indenting SOAP messages for reading: one element per line, nested elements indented,
// while every tag, attribute and piece of text stays exactly as it was written.
#pragma once

#include <QString>

namespace sondar {

// `xml` with `indentWidth` spaces per nesting level, or `xml` unchanged when it is not
// well-formed. Whitespace between tags is replaced by the layout; elements holding only text
// stay on one line, and elements mixing text with other markup keep their content untouched.
QString indentXml(const QString& xml, int indentWidth = 2);

}  // namespace sondar
