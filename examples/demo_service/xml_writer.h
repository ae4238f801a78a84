// XmlWriter: appends markup to a string, element by element, escaping text and attribute values.
//
// The service's answers carry the attributes SOAP encoding needs (xsi:type, href, id,
// soapenc:arrayType) in exact places, so they are written directly rather than through a
// serializer that only knows elements. Names are written as given (they are the service's
// own constants); text must already be XML-safe UTF-8, as anything parsed from a request is.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace nv::demo {

class XmlWriter {
  public:
    // `<name`; the start tag stays open for attributes until content or end() comes.
    XmlWriter& start(std::string_view name);
    XmlWriter& attribute(std::string_view name, std::string_view value);
    XmlWriter& text(std::string_view content);
    // Markup written unchanged (a fragment the caller built with another XmlWriter).
    XmlWriter& raw(std::string_view markup);
    // `/>` for an empty element, `</name>` otherwise.
    XmlWriter& end();
    // start(name), text(content), end().
    XmlWriter& element(std::string_view name, std::string_view content);

    // Everything written so far; the writer is left empty. Unended elements are closed.
    std::string take();

  private:
    void closeStartTag();

    std::string out_;
    std::vector<std::string> open_;  // names of the elements not yet ended, innermost last
    bool tagOpen_ = false;
};

}  // namespace nv::demo
