#include "platform/inet/auth_challenge.h"

#include "platform/inet/http_headers.h"

namespace nv::inet {

namespace {

bool isTokenChar(char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    switch (c) {
        case '!':
        case '#':
        case '$':
        case '%':
        case '&':
        case '\'':
        case '*':
        case '+':
        case '-':
        case '.':
        case '^':
        case '_':
        case '`':
        case '|':
        case '~':
            return true;
        default:
            return false;
    }
}

bool isToken68Char(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~' || c == '+' || c == '/';
}

class Reader {
  public:
    explicit Reader(std::string_view s) : s_(s) {}

    bool atEnd() const { return i_ >= s_.size(); }
    char peek() const { return atEnd() ? '\0' : s_[i_]; }
    void skipSpaces() {
        while (!atEnd() && (s_[i_] == ' ' || s_[i_] == '\t'))
            ++i_;
    }
    void skipSeparators() {
        while (!atEnd() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == ','))
            ++i_;
    }
    std::string_view token() {
        const std::size_t start = i_;
        while (!atEnd() && isTokenChar(s_[i_]))
            ++i_;
        return s_.substr(start, i_ - start);
    }
    // A token followed by "=" and a value: an auth-param rather than the next challenge.
    bool paramAhead() const {
        std::size_t j = i_;
        while (j < s_.size() && isTokenChar(s_[j]))
            ++j;
        if (j == i_)
            return false;
        while (j < s_.size() && (s_[j] == ' ' || s_[j] == '\t'))
            ++j;
        if (j >= s_.size() || s_[j] != '=')
            return false;
        ++j;
        while (j < s_.size() && (s_[j] == ' ' || s_[j] == '\t'))
            ++j;
        return j < s_.size() && s_[j] != ',' && s_[j] != '=';
    }
    // token68 (e.g. an NTLM or Negotiate blob) standing alone up to a comma or the end.
    bool skipToken68() {
        std::size_t j = i_;
        while (j < s_.size() && isToken68Char(s_[j]))
            ++j;
        if (j == i_)
            return false;
        while (j < s_.size() && s_[j] == '=')
            ++j;
        std::size_t k = j;
        while (k < s_.size() && (s_[k] == ' ' || s_[k] == '\t'))
            ++k;
        if (k < s_.size() && s_[k] != ',')
            return false;
        i_ = k;
        return true;
    }
    std::string value() {
        if (peek() != '"')
            return std::string(token());
        ++i_;
        std::string out;
        while (!atEnd() && s_[i_] != '"') {
            if (s_[i_] == '\\' && i_ + 1 < s_.size())
                ++i_;
            out += s_[i_++];
        }
        if (!atEnd())
            ++i_;
        return out;
    }
    void expect(char c) {
        if (peek() == c)
            ++i_;
    }

  private:
    std::string_view s_;
    std::size_t i_ = 0;
};

}  // namespace

std::vector<AuthChallenge> parseAuthChallenges(std::string_view headerValue) {
    std::vector<AuthChallenge> out;
    Reader r(headerValue);
    while (true) {
        r.skipSeparators();
        if (r.atEnd())
            break;
        if (!out.empty() && r.paramAhead()) {
            const std::string_view name = r.token();
            r.skipSpaces();
            r.expect('=');
            r.skipSpaces();
            std::string v = r.value();
            if (asciiEqualsIgnoreCase(name, "realm"))
                out.back().realm = std::move(v);
            continue;
        }
        const std::string_view scheme = r.token();
        if (scheme.empty())
            break;
        out.push_back({std::string(scheme), {}});
        r.skipSpaces();
        if (!r.paramAhead())
            r.skipToken68();
    }
    return out;
}

}  // namespace nv::inet
