// The regedit ".reg" text format: parsing into entries and writing a hive back out.
// Internal to the registry stand-in.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/registry.h"

namespace nv::registry::detail {

// One key of a hive tree. Values keep insertion order; subkeys are kept sorted by
// case-insensitive name, which is also the order they are written and enumerated in.
struct RegNode {
    std::u16string name;
    std::vector<Value> values;
    std::vector<std::unique_ptr<RegNode>> subkeys;

    RegNode* findSubkey(std::u16string_view n) const;
    RegNode* findOrAddSubkey(std::u16string_view n);
    bool removeSubkey(std::u16string_view n);
    Value* findValue(std::u16string_view n);
    const Value* findValue(std::u16string_view n) const;
    void setValue(Value v);
    bool removeValue(std::u16string_view n);
};

struct RegEntry {
    enum class Kind { Key, DeleteKey, SetValue, DeleteValue };
    Kind kind = Kind::Key;
    std::u16string keyPath;  // full path starting with the root name, e.g. HKEY_CURRENT_USER\A
    Value value;             // for SetValue / DeleteValue (name only)
};

struct ParsedRegFile {
    std::vector<RegEntry> entries;
    std::size_t badLines = 0;  // lines that did not parse (skipped)
};

// Decodes a file's bytes: UTF-16LE/BE with BOM, UTF-8 with or without BOM, else Latin-1.
std::u16string decodeRegText(std::string_view bytes);
ParsedRegFile parseRegFile(std::string_view bytes);

// Applies parsed entries to the tree of the hive named `rootName`. Entries for other roots, and
// values outside any accepted key, are not applied; the count of those is returned.
std::size_t applyEntries(RegNode& root, std::u16string_view rootName,
                         const std::vector<RegEntry>& entries);

// Serialises a hive as UTF-8 regedit text; `rootName` is e.g. "HKEY_CURRENT_USER".
std::string writeRegFile(const RegNode& root, std::u16string_view rootName);

// Splits "A\B\C" into components, skipping empty ones.
std::vector<std::u16string_view> splitKeyPath(std::u16string_view path);

}  // namespace nv::registry::detail
