#include "platform/registry/reg_file.h"

#include <algorithm>
#include <cstdint>

#include "platform/text/unicode.h"

namespace nv::registry::detail {

namespace {

constexpr std::u16string_view kHeader5 = u"Windows Registry Editor Version 5.00";
constexpr std::u16string_view kHeader4 = u"REGEDIT4";

bool lessIgnoreCase(const std::unique_ptr<RegNode>& a, std::u16string_view b) {
    return text::compareIgnoreCase(a->name, b) < 0;
}

std::u16string_view trim(std::u16string_view s) {
    while (!s.empty() && (s.front() == u' ' || s.front() == u'\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == u' ' || s.back() == u'\t'))
        s.remove_suffix(1);
    return s;
}

int hexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// Parses a quoted string with regedit's escapes starting at s[0] == '"'.
// On success returns the unescaped text and sets `consumed` to the length including quotes.
bool parseQuoted(std::u16string_view s, std::u16string& out, std::size_t& consumed) {
    if (s.empty() || s[0] != u'"')
        return false;
    out.clear();
    for (std::size_t i = 1; i < s.size(); ++i) {
        char16_t c = s[i];
        if (c == u'\\' && i + 1 < s.size()) {
            out += s[++i];
        } else if (c == u'"') {
            consumed = i + 1;
            return true;
        } else {
            out += c;
        }
    }
    return false;
}

bool parseHexList(std::u16string_view s, std::vector<std::uint8_t>& out) {
    out.clear();
    s = trim(s);
    if (s.empty())
        return true;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && (s[i] == u' ' || s[i] == u'\t'))
            ++i;
        int hi = i < s.size() ? hexDigit(s[i]) : -1;
        int lo = i + 1 < s.size() ? hexDigit(s[i + 1]) : -1;
        if (hi < 0)
            return false;
        if (lo < 0) {  // a single digit byte
            out.push_back(static_cast<std::uint8_t>(hi));
            i += 1;
        } else {
            out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
            i += 2;
        }
        while (i < s.size() && (s[i] == u' ' || s[i] == u'\t'))
            ++i;
        if (i == s.size())
            break;
        if (s[i] != u',')
            return false;
        ++i;
        // A trailing comma is tolerated.
    }
    return true;
}

void appendUtf16Le(std::vector<std::uint8_t>& out, std::u16string_view s, bool terminate) {
    for (char16_t c : s) {
        out.push_back(static_cast<std::uint8_t>(c & 0xFF));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    if (terminate) {
        out.push_back(0);
        out.push_back(0);
    }
}

// Parses the data part after "=". Returns false for syntax it does not know.
bool parseData(std::u16string_view d, RegEntry& entry) {
    d = trim(d);
    Value& v = entry.value;
    if (d == u"-") {
        entry.kind = RegEntry::Kind::DeleteValue;
        return true;
    }
    entry.kind = RegEntry::Kind::SetValue;
    if (!d.empty() && d[0] == u'"') {
        std::u16string textValue;
        std::size_t used = 0;
        if (!parseQuoted(d, textValue, used) || !trim(d.substr(used)).empty())
            return false;
        v.type = ValueType::String;
        appendUtf16Le(v.data, textValue, true);
        return true;
    }
    auto startsWithIgnoreCase = [&](std::u16string_view p) {
        return d.size() >= p.size() && text::equalsIgnoreCase(d.substr(0, p.size()), p);
    };
    if (startsWithIgnoreCase(u"dword:")) {
        std::u16string_view digits = trim(d.substr(6));
        if (digits.empty() || digits.size() > 8)
            return false;
        std::uint32_t n = 0;
        for (char16_t c : digits) {
            int h = hexDigit(c);
            if (h < 0)
                return false;
            n = n * 16 + static_cast<std::uint32_t>(h);
        }
        v.type = ValueType::Dword;
        v.data = {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
                  static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)};
        return true;
    }
    if (startsWithIgnoreCase(u"hex:")) {
        v.type = ValueType::Binary;
        return parseHexList(d.substr(4), v.data);
    }
    if (startsWithIgnoreCase(u"hex(")) {
        std::size_t close = d.find(u')');
        if (close == std::u16string_view::npos || close == 4 || close + 1 >= d.size() ||
            d[close + 1] != u':')
            return false;
        std::uint32_t type = 0;
        for (char16_t c : d.substr(4, close - 4)) {
            int h = hexDigit(c);
            if (h < 0 || type > 0x0FFFFFFF)
                return false;
            type = type * 16 + static_cast<std::uint32_t>(h);
        }
        v.type = static_cast<ValueType>(type);
        return parseHexList(d.substr(close + 2), v.data);
    }
    return false;
}

std::vector<std::u16string_view> splitLines(std::u16string_view text) {
    std::vector<std::u16string_view> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(u'\n', start);
        if (end == std::u16string_view::npos)
            end = text.size();
        std::u16string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == u'\r')
            line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

void appendEscaped(std::string& out, std::u16string_view s) {
    std::u16string escaped;
    escaped.reserve(s.size());
    for (char16_t c : s) {
        if (c == u'\\' || c == u'"')
            escaped += u'\\';
        escaped += c;
    }
    out += text::utf16ToUtf8(escaped);
}

// True when the value can be written as "text": a NUL-terminated string with no embedded
// NULs, line breaks or unpaired surrogates, so it reads back byte for byte.
bool writableAsQuotedString(const Value& v) {
    if (v.type != ValueType::String || v.data.size() < 2 || v.data.size() % 2 != 0)
        return false;
    std::size_t units = v.data.size() / 2;
    for (std::size_t i = 0; i < units; ++i) {
        char16_t c = static_cast<char16_t>(v.data[2 * i] | (v.data[2 * i + 1] << 8));
        bool last = i + 1 == units;
        if (last)
            return c == 0;
        if (c == 0 || c == u'\r' || c == u'\n')
            return false;
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 2 >= units)
                return false;
            char16_t n = static_cast<char16_t>(v.data[2 * i + 2] | (v.data[2 * i + 3] << 8));
            if (n < 0xDC00 || n > 0xDFFF)
                return false;
            ++i;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            return false;
        }
    }
    return false;
}

void writeHexData(std::string& out, std::size_t lineStart, const std::vector<std::uint8_t>& data) {
    static const char* digits = "0123456789abcdef";
    for (std::size_t i = 0; i < data.size(); ++i) {
        out += digits[data[i] >> 4];
        out += digits[data[i] & 15];
        if (i + 1 == data.size())
            break;
        out += ',';
        // Wrap like regedit: keep lines under 80 columns with a "\" continuation.
        if (out.size() - lineStart > 75) {
            out += "\\\n  ";
            lineStart = out.size() - 2;
        }
    }
}

void writeValue(std::string& out, const Value& v) {
    std::size_t lineStart = out.size();
    if (v.name.empty()) {
        out += '@';
    } else {
        out += '"';
        appendEscaped(out, v.name);
        out += '"';
    }
    out += '=';
    if (writableAsQuotedString(v)) {
        std::u16string s;
        for (std::size_t i = 0; i + 2 < v.data.size(); i += 2)
            s += static_cast<char16_t>(v.data[i] | (v.data[i + 1] << 8));
        out += '"';
        appendEscaped(out, s);
        out += '"';
    } else if (v.type == ValueType::Dword && v.data.size() == 4) {
        char buf[16];
        std::uint32_t n = static_cast<std::uint32_t>(v.data[0]) | (v.data[1] << 8) |
                          (v.data[2] << 16) | (static_cast<std::uint32_t>(v.data[3]) << 24);
        snprintf(buf, sizeof buf, "dword:%08x", n);
        out += buf;
    } else {
        if (v.type == ValueType::Binary) {
            out += "hex:";
        } else {
            char buf[24];
            snprintf(buf, sizeof buf, "hex(%x):", static_cast<unsigned>(v.type));
            out += buf;
        }
        writeHexData(out, lineStart, v.data);
    }
    out += '\n';
}

void writeNode(std::string& out, const RegNode& node, const std::u16string& path, bool isRoot) {
    if (!isRoot || !node.values.empty()) {
        out += '[';
        out += text::utf16ToUtf8(path);
        out += "]\n";
        for (const Value& v : node.values)
            writeValue(out, v);
        out += '\n';
    }
    for (const auto& sub : node.subkeys)
        writeNode(out, *sub, path + u"\\" + sub->name, false);
}

}  // namespace

RegNode* RegNode::findSubkey(std::u16string_view n) const {
    auto it = std::lower_bound(subkeys.begin(), subkeys.end(), n, lessIgnoreCase);
    if (it != subkeys.end() && text::equalsIgnoreCase((*it)->name, n))
        return it->get();
    return nullptr;
}

RegNode* RegNode::findOrAddSubkey(std::u16string_view n) {
    auto it = std::lower_bound(subkeys.begin(), subkeys.end(), n, lessIgnoreCase);
    if (it != subkeys.end() && text::equalsIgnoreCase((*it)->name, n))
        return it->get();
    auto node = std::make_unique<RegNode>();
    node->name = std::u16string(n);
    return subkeys.insert(it, std::move(node))->get();
}

bool RegNode::removeSubkey(std::u16string_view n) {
    auto it = std::lower_bound(subkeys.begin(), subkeys.end(), n, lessIgnoreCase);
    if (it == subkeys.end() || !text::equalsIgnoreCase((*it)->name, n))
        return false;
    subkeys.erase(it);
    return true;
}

Value* RegNode::findValue(std::u16string_view n) {
    for (Value& v : values)
        if (text::equalsIgnoreCase(v.name, n))
            return &v;
    return nullptr;
}

const Value* RegNode::findValue(std::u16string_view n) const {
    return const_cast<RegNode*>(this)->findValue(n);
}

void RegNode::setValue(Value v) {
    if (Value* old = findValue(v.name)) {
        // Windows keeps the stored name's case and position when a value is overwritten.
        old->type = v.type;
        old->data = std::move(v.data);
        return;
    }
    values.push_back(std::move(v));
}

bool RegNode::removeValue(std::u16string_view n) {
    for (auto it = values.begin(); it != values.end(); ++it) {
        if (text::equalsIgnoreCase(it->name, n)) {
            values.erase(it);
            return true;
        }
    }
    return false;
}

std::vector<std::u16string_view> splitKeyPath(std::u16string_view path) {
    std::vector<std::u16string_view> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(u'\\', start);
        if (end == std::u16string_view::npos)
            end = path.size();
        if (end > start)
            parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::u16string decodeRegText(std::string_view bytes) {
    auto b = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.size() >= 2 && ((b(0) == 0xFF && b(1) == 0xFE) || (b(0) == 0xFE && b(1) == 0xFF))) {
        bool little = b(0) == 0xFF;
        std::u16string out;
        out.reserve(bytes.size() / 2);
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
            out +=
                static_cast<char16_t>(little ? (b(i) | (b(i + 1) << 8)) : ((b(i) << 8) | b(i + 1)));
        return out;
    }
    if (bytes.size() >= 3 && b(0) == 0xEF && b(1) == 0xBB && b(2) == 0xBF)
        bytes.remove_prefix(3);
    if (text::isValidUtf8(bytes))
        return text::utf8ToUtf16(bytes);
    return text::latin1ToUtf16(bytes);
}

ParsedRegFile parseRegFile(std::string_view bytes) {
    ParsedRegFile result;
    std::u16string decoded = decodeRegText(bytes);
    std::vector<std::u16string_view> lines = splitLines(decoded);

    bool headerSeen = false;
    bool keyValid = false;
    std::u16string currentKey;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::u16string_view raw = trim(lines[i]);
        if (raw.empty() || raw[0] == u';')
            continue;
        if (!headerSeen) {
            headerSeen = true;
            if (raw == kHeader5 || raw == kHeader4)
                continue;
            ++result.badLines;  // no header: load what parses anyway
        }
        if (raw[0] == u'[') {
            std::size_t close = raw.rfind(u']');
            if (close == std::u16string_view::npos || close < 2) {
                ++result.badLines;
                keyValid = false;
                continue;
            }
            std::u16string_view name = raw.substr(1, close - 1);
            RegEntry e;
            if (name[0] == u'-') {
                e.kind = RegEntry::Kind::DeleteKey;
                name.remove_prefix(1);
                keyValid = false;
            } else {
                e.kind = RegEntry::Kind::Key;
                keyValid = true;
            }
            e.keyPath = std::u16string(name);
            currentKey = e.keyPath;
            result.entries.push_back(std::move(e));
            continue;
        }
        // A value line, possibly continued with "\" at the end of hex data.
        std::u16string logical(raw);
        while (!logical.empty() && logical.back() == u'\\' && i + 1 < lines.size()) {
            logical.pop_back();
            logical += trim(lines[++i]);
        }
        RegEntry e;
        e.keyPath = currentKey;
        std::u16string_view rest = logical;
        if (rest[0] == u'@') {
            rest.remove_prefix(1);
        } else if (rest[0] == u'"') {
            std::size_t used = 0;
            if (!parseQuoted(rest, e.value.name, used)) {
                ++result.badLines;
                continue;
            }
            rest.remove_prefix(used);
        } else {
            ++result.badLines;
            continue;
        }
        rest = trim(rest);
        if (rest.empty() || rest[0] != u'=' || !keyValid || !parseData(rest.substr(1), e)) {
            ++result.badLines;
            continue;
        }
        result.entries.push_back(std::move(e));
    }
    return result;
}

std::size_t applyEntries(RegNode& root, std::u16string_view rootName,
                         const std::vector<RegEntry>& entries) {
    std::size_t rejected = 0;
    RegNode* current = nullptr;
    for (const RegEntry& e : entries) {
        std::vector<std::u16string_view> parts = splitKeyPath(e.keyPath);
        bool ours = !parts.empty() && text::equalsIgnoreCase(parts[0], rootName);
        switch (e.kind) {
            case RegEntry::Kind::Key: {
                current = nullptr;
                if (!ours) {
                    ++rejected;
                    break;
                }
                RegNode* node = &root;
                for (std::size_t i = 1; i < parts.size(); ++i)
                    node = node->findOrAddSubkey(parts[i]);
                current = node;
                break;
            }
            case RegEntry::Kind::DeleteKey: {
                current = nullptr;
                if (!ours || parts.size() < 2) {
                    ++rejected;
                    break;
                }
                RegNode* parent = &root;
                for (std::size_t i = 1; parent && i + 1 < parts.size(); ++i)
                    parent = parent->findSubkey(parts[i]);
                if (parent)
                    parent->removeSubkey(parts.back());
                break;
            }
            case RegEntry::Kind::SetValue:
                if (current)
                    current->setValue(e.value);
                else
                    ++rejected;
                break;
            case RegEntry::Kind::DeleteValue:
                if (current)
                    current->removeValue(e.value.name);
                else
                    ++rejected;
                break;
        }
    }
    return rejected;
}

std::string writeRegFile(const RegNode& root, std::u16string_view rootName) {
    std::string out = "Windows Registry Editor Version 5.00\n\n";
    writeNode(out, root, std::u16string(rootName), true);
    return out;
}

}  // namespace nv::registry::detail
