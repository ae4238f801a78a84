// Response headers in arrival order, looked up by name without regard to case.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/export.h"

namespace nv::inet {

class NV_PLATFORM_API HttpHeaders {
  public:
    // Adds one "Name: value" line (a trailing CR/LF is ignored; surrounding blanks of the value
    // are dropped). A line that continues the previous one (starts with a blank) extends its
    // value; a line without a colon is ignored.
    void addLine(std::string_view line);
    void add(std::string name, std::string value);
    void clear() { fields_.clear(); }

    // The first value of `name`, or nullopt when the header is absent.
    std::optional<std::string> get(std::string_view name) const;
    // Every value of `name` in arrival order (a repeated header such as WWW-Authenticate).
    std::vector<std::string> all(std::string_view name) const;
    bool contains(std::string_view name) const { return get(name).has_value(); }

    const std::vector<std::pair<std::string, std::string>>& fields() const { return fields_; }
    bool empty() const { return fields_.empty(); }

  private:
    std::vector<std::pair<std::string, std::string>> fields_;
};

// ASCII case-insensitive equality, as HTTP compares field names and tokens.
NV_PLATFORM_API bool asciiEqualsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace nv::inet
