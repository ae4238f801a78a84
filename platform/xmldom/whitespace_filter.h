// Drops whitespace-only text while parsing, the way MSXML does when preserveWhiteSpace is
// false (internal to the DOM; includes libxml2).
//
// A text node is a run of character data between other parse events; libxml2 may hand a run
// over in several chunks. Blank chunks at the start of a run are held back and only passed on
// if something else follows in the same run, so blank runs never become nodes (much cheaper
// than building and then freeing them) and runs like "  &amp; x" keep their leading blanks.
// xml:space="preserve" keeps blank runs below it, until an inner xml:space="default".
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include <libxml/parser.h>

namespace nv::xml::detail {

class WhitespaceFilter {
  public:
    explicit WhitespaceFilter(bool keepAll) : keepAll_(keepAll) {}

    // Character data for the current element; passes what should become text to libxml2's
    // tree builder with the parser context `ctx`.
    void characters(void* ctx, const xmlChar* text, int length);
    // Any other event ends the current run (and discards held-back blanks).
    void endRun() {
        held_.clear();
        inText_ = false;
    }
    // Around elements at `depth`, with the attributes as libxml2's startElementNs gives them.
    void enterElement(std::size_t depth, const xmlChar** attributes, int attributeCount);
    void leaveElement(std::size_t depth) {
        if (!scopes_.empty() && scopes_.back().first == depth)
            scopes_.pop_back();
    }

  private:
    bool preserving() const { return keepAll_ || (!scopes_.empty() && scopes_.back().second); }

    bool keepAll_;
    bool inText_ = false;  // part of the current run has been passed on
    std::string held_;     // blank chunks that started the current run
    // (depth, preserve) for each open element carrying xml:space; usually empty.
    std::vector<std::pair<std::size_t, bool>> scopes_;
};

}  // namespace nv::xml::detail
