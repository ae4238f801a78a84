// Fuzz target: the registry's ".reg" file reader. Whatever parses must be written back and read
// again to the same tree.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/registry/reg_file.h"

namespace {

using nv::registry::detail::RegNode;

bool same(const RegNode& a, const RegNode& b) {
    if (a.values.size() != b.values.size() || a.subkeys.size() != b.subkeys.size())
        return false;
    for (std::size_t i = 0; i < a.values.size(); ++i) {
        const auto& x = a.values[i];
        const auto& y = b.values[i];
        if (x.name != y.name || x.type != y.type || x.data != y.data)
            return false;
    }
    for (std::size_t i = 0; i < a.subkeys.size(); ++i) {
        if (a.subkeys[i]->name != b.subkeys[i]->name)
            return false;
        if (!same(*a.subkeys[i], *b.subkeys[i]))
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto parsed = nv::registry::detail::parseRegFile(bytes);
    RegNode root;
    root.name = u"HKEY_CURRENT_USER";
    nv::registry::detail::applyEntries(root, u"HKEY_CURRENT_USER", parsed.entries);
    std::string written = nv::registry::detail::writeRegFile(root, u"HKEY_CURRENT_USER");
    auto again = nv::registry::detail::parseRegFile(written);
    if (again.badLines != 0)
        __builtin_trap();
    RegNode reread;
    reread.name = u"HKEY_CURRENT_USER";
    nv::registry::detail::applyEntries(reread, u"HKEY_CURRENT_USER", again.entries);
    if (!same(root, reread))
        __builtin_trap();
    return 0;
}
