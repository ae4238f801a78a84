#include "workbench/dialogs/xml_indent.h"

#include <memory>
#include <optional>
#include <vector>

#include <QStringList>
#include <QXmlStreamReader>

namespace sondar {

namespace {

enum class Kind { StartTag, EmptyTag, EndTag, Text, Comment, CData, Instruction, Doctype };

struct Token {
    Kind kind;
    qsizetype begin;
    qsizetype end;  // one past the token
};

struct Node {
    Token token;
    qsizetype end = 0;  // one past the end tag, for elements
    Token endTag{Kind::EndTag, 0, 0};
    std::vector<std::unique_ptr<Node>> children;
};

bool wellFormed(const QString& xml) {
    QXmlStreamReader reader(xml);
    while (!reader.atEnd())
        reader.readNext();
    return !reader.hasError();
}

// One past `close` found from `from`, or -1.
qsizetype after(const QString& xml, qsizetype from, QLatin1StringView close) {
    const qsizetype at = xml.indexOf(close, from);
    return at < 0 ? -1 : at + close.size();
}

// One past the '>' closing a tag or declaration that starts at `from`; quoted text and, for
// a document type, its internal subset may hold '>' themselves.
qsizetype afterMarkup(const QString& xml, qsizetype from) {
    QChar quote;
    int brackets = 0;
    for (qsizetype i = from; i < xml.size(); ++i) {
        const QChar c = xml[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'[') {
            ++brackets;
        } else if (c == u']') {
            --brackets;
        } else if (c == u'>' && brackets <= 0) {
            return i + 1;
        }
    }
    return -1;
}

std::optional<std::vector<Token>> tokenize(const QString& xml) {
    std::vector<Token> tokens;
    qsizetype i = 0;
    while (i < xml.size()) {
        if (xml[i] != u'<') {
            qsizetype next = xml.indexOf(u'<', i);
            if (next < 0)
                next = xml.size();
            tokens.push_back({Kind::Text, i, next});
            i = next;
            continue;
        }
        const QStringView rest = QStringView(xml).mid(i);
        Kind kind;
        qsizetype end;
        if (rest.startsWith(u"<!--")) {
            kind = Kind::Comment;
            end = after(xml, i + 4, QLatin1StringView("-->"));
        } else if (rest.startsWith(u"<![CDATA[")) {
            kind = Kind::CData;
            end = after(xml, i + 9, QLatin1StringView("]]>"));
        } else if (rest.startsWith(u"<?")) {
            kind = Kind::Instruction;
            end = after(xml, i + 2, QLatin1StringView("?>"));
        } else if (rest.startsWith(u"<!")) {
            kind = Kind::Doctype;
            end = afterMarkup(xml, i + 2);
        } else if (rest.startsWith(u"</")) {
            kind = Kind::EndTag;
            end = after(xml, i + 2, QLatin1StringView(">"));
        } else {
            end = afterMarkup(xml, i + 1);
            kind = end >= 2 && xml[end - 2] == u'/' ? Kind::EmptyTag : Kind::StartTag;
        }
        if (end < 0)
            return std::nullopt;
        tokens.push_back({kind, i, end});
        i = end;
    }
    return tokens;
}

// The document as a tree of its top-level nodes; nothing when tags do not pair up.
std::optional<std::vector<std::unique_ptr<Node>>> buildTree(const std::vector<Token>& tokens) {
    std::vector<std::unique_ptr<Node>> top;
    std::vector<Node*> open;
    for (const Token& token : tokens) {
        if (token.kind == Kind::EndTag) {
            if (open.empty())
                return std::nullopt;
            open.back()->endTag = token;
            open.back()->end = token.end;
            open.pop_back();
            continue;
        }
        auto node = std::make_unique<Node>();
        node->token = token;
        node->end = token.end;
        Node* raw = node.get();
        (open.empty() ? top : open.back()->children).push_back(std::move(node));
        if (token.kind == Kind::StartTag)
            open.push_back(raw);
    }
    if (!open.empty())
        return std::nullopt;
    return top;
}

class Renderer {
  public:
    Renderer(const QString& xml, int indentWidth) : xml_(xml), indentWidth_(indentWidth) {}

    void render(const Node& node, int depth) {
        const QString indent(depth * indentWidth_, u' ');
        const Token& token = node.token;
        if (token.kind == Kind::Text) {
            // Outside the root only layout whitespace can stand between nodes.
            if (!isBlank(token))
                lines_.append(indent + source(token.begin, token.end));
            return;
        }
        if (token.kind != Kind::StartTag || keepsContent(node)) {
            lines_.append(indent + source(token.begin, node.end));
            return;
        }
        lines_.append(indent + source(token.begin, token.end));
        for (const auto& child : node.children)
            render(*child, depth + 1);
        lines_.append(indent + source(node.endTag.begin, node.endTag.end));
    }

    QString text() const { return lines_.join(u'\n'); }

  private:
    QString source(qsizetype begin, qsizetype end) const { return xml_.mid(begin, end - begin); }

    bool isBlank(const Token& token) const {
        return QStringView(xml_).mid(token.begin, token.end - token.begin).trimmed().isEmpty();
    }

    // An element whose text matters: no element content at all (text only, or empty), or text
    // mixed with other markup. Its content is shown exactly as written.
    bool keepsContent(const Node& node) const {
        bool hasText = false;
        bool hasMarkup = false;
        for (const auto& child : node.children) {
            const Kind kind = child->token.kind;
            if (kind == Kind::CData || (kind == Kind::Text && !isBlank(child->token)))
                hasText = true;
            else if (kind != Kind::Text)
                hasMarkup = true;
        }
        return hasText || !hasMarkup;
    }

    const QString& xml_;
    int indentWidth_;
    QStringList lines_;
};

}  // namespace

QString indentXml(const QString& xml, int indentWidth) {
    if (!wellFormed(xml))
        return xml;
    const std::optional<std::vector<Token>> tokens = tokenize(xml);
    if (!tokens)
        return xml;
    const std::optional<std::vector<std::unique_ptr<Node>>> tree = buildTree(*tokens);
    if (!tree)
        return xml;
    Renderer renderer(xml, indentWidth);
    for (const auto& node : *tree)
        renderer.render(*node, 0);
    return renderer.text();
}

}  // namespace sondar
