#include "platform/inet/http_headers.h"

namespace nv::inet {

namespace {

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() &&
           (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
        s.remove_suffix(1);
    return s;
}

}  // namespace

bool asciiEqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    return true;
}

void HttpHeaders::addLine(std::string_view line) {
    if (!line.empty() && (line.front() == ' ' || line.front() == '\t')) {
        const std::string_view more = trimBlanks(line);
        if (!fields_.empty() && !more.empty()) {
            std::string& value = fields_.back().second;
            if (!value.empty())
                value += ' ';
            value += more;
        }
        return;
    }
    const auto colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0)
        return;
    add(std::string(trimBlanks(line.substr(0, colon))),
        std::string(trimBlanks(line.substr(colon + 1))));
}

void HttpHeaders::add(std::string name, std::string value) {
    fields_.emplace_back(std::move(name), std::move(value));
}

std::optional<std::string> HttpHeaders::get(std::string_view name) const {
    for (const auto& [n, v] : fields_)
        if (asciiEqualsIgnoreCase(n, name))
            return v;
    return std::nullopt;
}

std::vector<std::string> HttpHeaders::all(std::string_view name) const {
    std::vector<std::string> out;
    for (const auto& [n, v] : fields_)
        if (asciiEqualsIgnoreCase(n, name))
            out.push_back(v);
    return out;
}

}  // namespace nv::inet
