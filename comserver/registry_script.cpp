#include "comserver/registry_script.h"

#include "comserver/guarded.h"
#include "platform/registry/registry.h"

namespace wscom {

namespace {

using nv::registry::Access;
using nv::registry::Hive;
using nv::registry::Key;
using nv::registry::Status;

HRESULT toHresult(Status st) {
    switch (st) {
        case Status::Ok:
            return S_OK;
        case Status::NotFound:
            return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
        case Status::AccessDenied:
            return E_ACCESSDENIED;
        case Status::InvalidArgument:
            return E_INVALIDARG;
        case Status::KeyDeleted:
            return HRESULT_FROM_WIN32(ERROR_KEY_DELETED);
        case Status::MoreData:
            return HRESULT_FROM_WIN32(ERROR_MORE_DATA);
        case Status::NoMoreItems:
            return HRESULT_FROM_WIN32(ERROR_NO_MORE_ITEMS);
    }
    return E_FAIL;
}

std::u16string join(const std::u16string& parent, const std::u16string& name) {
    return parent.empty() ? name : parent + u"\\" + name;
}

bool hasString(const Key& key, std::u16string_view name, std::u16string_view data) {
    nv::registry::Value v;
    if (key.get(name, v) != Status::Ok || v.type != nv::registry::ValueType::String)
        return false;
    std::u16string text;
    for (std::size_t i = 0; i + 1 < v.data.size(); i += 2)
        text += static_cast<char16_t>(v.data[i] | (v.data[i + 1] << 8));
    return text == std::u16string(data) + u'\0';
}

Status setIfDifferent(Key& key, std::u16string_view name, std::u16string_view data) {
    return hasString(key, name, data) ? Status::Ok : key.setString(name, data);
}

// The key holds exactly what the script says: no other values, no other subkeys.
bool matchesExactly(const Key& key, const ScriptKey& spec) {
    std::uint32_t values = 0, subkeys = 0;
    if (key.valueCount(values) != Status::Ok || key.subkeyCount(subkeys) != Status::Ok)
        return false;
    std::size_t expectedValues = spec.values.size() + (spec.defaultValue ? 1 : 0);
    if (values != expectedValues || subkeys != spec.subkeys.size())
        return false;
    if (spec.defaultValue && !hasString(key, u"", *spec.defaultValue))
        return false;
    for (const ScriptValue& v : spec.values)
        if (!hasString(key, v.name, v.data))
            return false;
    for (const ScriptKey& child : spec.subkeys) {
        Key sub;
        if (key.openSubkey(child.name, Access::Read, sub) != Status::Ok ||
            !matchesExactly(sub, child))
            return false;
    }
    return true;
}

HRESULT applyKey(const std::u16string& parent, const ScriptKey& spec) {
    std::u16string path = join(parent, spec.name);
    if (spec.removal == Removal::ForceRemove) {
        Key existing;
        Status st = Key::open(Hive::ClassesRoot, path, Access::Read, existing);
        if (st == Status::Ok && !matchesExactly(existing, spec)) {
            existing.close();
            st = Key::deleteTree(Hive::ClassesRoot, path);
            if (st != Status::Ok && st != Status::NotFound)
                return toHresult(st);
        }
    }
    Key key;
    Status st = Key::create(Hive::ClassesRoot, path, key);
    if (st == Status::Ok && spec.defaultValue)
        st = setIfDifferent(key, u"", *spec.defaultValue);
    for (const ScriptValue& v : spec.values)
        if (st == Status::Ok)
            st = setIfDifferent(key, v.name, v.data);
    if (st != Status::Ok)
        return toHresult(st);
    for (const ScriptKey& child : spec.subkeys) {
        HRESULT hr = applyKey(path, child);
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

HRESULT removeKey(const std::u16string& parent, const ScriptKey& spec) {
    std::u16string path = join(parent, spec.name);
    if (spec.removal == Removal::ForceRemove) {
        Status st = Key::deleteTree(Hive::ClassesRoot, path);
        return st == Status::NotFound ? S_OK : toHresult(st);
    }
    for (const ScriptKey& child : spec.subkeys) {
        HRESULT hr = removeKey(path, child);
        if (FAILED(hr))
            return hr;
    }
    if (spec.removal == Removal::NoRemove)
        return S_OK;
    Key key;
    Status st = Key::open(Hive::ClassesRoot, path, Access::ReadWrite, key);
    if (st == Status::NotFound)
        return S_OK;
    std::uint32_t left = 0;
    if (st == Status::Ok)
        st = key.subkeyCount(left);
    if (st != Status::Ok)
        return toHresult(st);
    if (left > 0) {
        // Someone else's subkeys keep the key; only the script's own values go.
        for (const ScriptValue& v : spec.values) {
            Status gone = key.deleteValue(v.name);
            if (gone != Status::Ok && gone != Status::NotFound)
                return toHresult(gone);
        }
        return S_OK;
    }
    key.close();
    st = Key::deleteTree(Hive::ClassesRoot, path);
    return st == Status::NotFound ? S_OK : toHresult(st);
}

}  // namespace

HRESULT applyScript(const std::vector<ScriptKey>& keys) {
    return guarded([&]() -> HRESULT {
        for (const ScriptKey& k : keys) {
            HRESULT hr = applyKey(u"", k);
            if (FAILED(hr))
                return hr;
        }
        return S_OK;
    });
}

HRESULT removeScript(const std::vector<ScriptKey>& keys) {
    return guarded([&]() -> HRESULT {
        for (const ScriptKey& k : keys) {
            HRESULT hr = removeKey(u"", k);
            if (FAILED(hr))
                return hr;
        }
        return S_OK;
    });
}

}  // namespace wscom
