// Colours XML in a text view: element names, attribute names, attribute values, comments and
// the other markup each in their own colour; text keeps the view's colour. Tags, values and
// comments may run over several lines.
#pragma once

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

namespace sondar {

class TXmlHighlighter final : public QSyntaxHighlighter {
    Q_OBJECT

  public:
    explicit TXmlHighlighter(QTextDocument* document);

    // For tests and for painting legends: the format each role in the markup gets.
    enum class Role { ElementName, AttributeName, AttributeValue, Comment, Markup };
    QTextCharFormat formatOf(Role role) const;

  protected:
    void highlightBlock(const QString& text) override;

  private:
    QTextCharFormat element_;
    QTextCharFormat attributeName_;
    QTextCharFormat attributeValue_;
    QTextCharFormat comment_;
    QTextCharFormat markup_;  // declarations, instructions, CDATA sections
};

}  // namespace sondar
