// Registration entries described as data, the way a self-registering server's registry script
// describes them: a tree of keys under HKEY_CLASSES_ROOT with default and named string values
// and a removal rule per key.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/com/types.h"

namespace wscom {

enum class Removal {
    Normal,       // removed on unregistration once none of its subkeys is left
    NoRemove,     // never removed (shared roots such as CLSID and AppID)
    ForceRemove,  // replaced as a whole on registration, removed with all it holds
};

struct ScriptValue {
    std::u16string name;
    std::u16string data;  // a string value (REG_SZ)
};

struct ScriptKey {
    std::u16string name;
    Removal removal = Removal::Normal;
    std::optional<std::u16string> defaultValue;
    std::vector<ScriptValue> values;
    std::vector<ScriptKey> subkeys;
};

// Writes the keys under HKEY_CLASSES_ROOT. Only what differs from the registry is written,
// so repeating a registration costs reads alone. Registry failures come back as HRESULTs.
HRESULT applyScript(const std::vector<ScriptKey>& keys);
// Removes the keys as their rules say; keys that are already gone are no failure.
HRESULT removeScript(const std::vector<ScriptKey>& keys);

}  // namespace wscom
