#include "workbench/dialogs/xml_highlighter.h"

namespace sondar {

namespace {

// Where a line starts, carried from the line before.
enum State : int {
    InText = 0,
    InTag,
    InDoubleQuoted,
    InSingleQuoted,
    InComment,
    InCData,
    InInstruction,
    InDeclaration,
};

bool isNameChar(QChar c) {
    return !c.isSpace() && c != u'=' && c != u'>' && c != u'/' && c != u'<' && c != u'"' &&
           c != u'\'';
}

}  // namespace

TXmlHighlighter::TXmlHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {
    element_.setForeground(QColor(0x1A, 0x4E, 0xB0));
    attributeName_.setForeground(QColor(0xA0, 0x52, 0x00));
    attributeValue_.setForeground(QColor(0xB0, 0x1C, 0x1C));
    comment_.setForeground(QColor(0x3C, 0x8A, 0x3C));
    comment_.setFontItalic(true);
    markup_.setForeground(QColor(0x80, 0x50, 0xA0));
}

QTextCharFormat TXmlHighlighter::formatOf(Role role) const {
    switch (role) {
        case Role::ElementName:
            return element_;
        case Role::AttributeName:
            return attributeName_;
        case Role::AttributeValue:
            return attributeValue_;
        case Role::Comment:
            return comment_;
        case Role::Markup:
            break;
    }
    return markup_;
}

void TXmlHighlighter::highlightBlock(const QString& text) {
    const int length = static_cast<int>(text.size());
    int state = previousBlockState() < 0 ? InText : previousBlockState();
    int i = 0;
    // Colours from `i` up to and including `close`, or to the end of the line when it is not
    // on this line (the state then carries over).
    const auto runTo = [&](QLatin1StringView close, const QTextCharFormat& format, int next) {
        const int at = static_cast<int>(text.indexOf(close, i));
        const int end = at < 0 ? length : at + static_cast<int>(close.size());
        setFormat(i, end - i, format);
        i = end;
        if (at >= 0)
            state = next;
    };
    while (i < length) {
        switch (state) {
            case InText: {
                const int open = static_cast<int>(text.indexOf(u'<', i));
                if (open < 0) {
                    i = length;
                    break;
                }
                i = open;
                const QStringView rest = QStringView(text).mid(i);
                if (rest.startsWith(u"<!--")) {
                    state = InComment;
                } else if (rest.startsWith(u"<![CDATA[")) {
                    state = InCData;
                } else if (rest.startsWith(u"<?")) {
                    state = InInstruction;
                } else if (rest.startsWith(u"<!")) {
                    state = InDeclaration;
                } else {
                    int end = i + 1;
                    if (end < length && text[end] == u'/')
                        ++end;
                    while (end < length && isNameChar(text[end]))
                        ++end;
                    setFormat(i, end - i, element_);
                    i = end;
                    state = InTag;
                }
                break;
            }
            case InTag: {
                const QChar c = text[i];
                if (c.isSpace() || c == u'=') {
                    ++i;
                } else if (c == u'>' || (c == u'/' && i + 1 < length && text[i + 1] == u'>')) {
                    const int size = c == u'>' ? 1 : 2;
                    setFormat(i, size, element_);
                    i += size;
                    state = InText;
                } else if (c == u'"' || c == u'\'') {
                    setFormat(i, 1, attributeValue_);
                    ++i;
                    state = c == u'"' ? InDoubleQuoted : InSingleQuoted;
                } else {
                    int end = i;
                    while (end < length && isNameChar(text[end]))
                        ++end;
                    if (end == i)
                        ++end;  // a stray character; step over it
                    setFormat(i, end - i, attributeName_);
                    i = end;
                }
                break;
            }
            case InDoubleQuoted:
                runTo(QLatin1StringView("\""), attributeValue_, InTag);
                break;
            case InSingleQuoted:
                runTo(QLatin1StringView("'"), attributeValue_, InTag);
                break;
            case InComment:
                runTo(QLatin1StringView("-->"), comment_, InText);
                break;
            case InCData:
                runTo(QLatin1StringView("]]>"), markup_, InText);
                break;
            case InInstruction:
                runTo(QLatin1StringView("?>"), markup_, InText);
                break;
            default:
                runTo(QLatin1StringView(">"), markup_, InText);
                break;
        }
    }
    setCurrentBlockState(state);
}

}  // namespace sondar
