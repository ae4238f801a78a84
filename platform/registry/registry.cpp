#include "platform/registry/registry.h"

#include <cstdlib>
#include <cstring>
#include <map>

#include "platform/registry/hive_store.h"
#include "platform/registry/reg_file.h"
#include "platform/text/unicode.h"

namespace nv::registry {

using detail::HiveStore;
using detail::RegNode;

namespace {

// Walks `path` below `root`; null when a component is missing.
const RegNode* resolve(const RegNode& root, std::u16string_view path) {
    const RegNode* node = &root;
    for (std::u16string_view part : detail::splitKeyPath(path)) {
        node = node->findSubkey(part);
        if (!node)
            return nullptr;
    }
    return node;
}

RegNode* resolve(RegNode& root, std::u16string_view path) {
    return const_cast<RegNode*>(resolve(static_cast<const RegNode&>(root), path));
}

std::u16string joinPath(std::u16string_view base, std::u16string_view sub) {
    std::u16string out(base);
    for (std::u16string_view part : detail::splitKeyPath(sub)) {
        if (!out.empty())
            out += u'\\';
        out += part;
    }
    return out;
}

std::vector<std::uint8_t> stringBytes(std::u16string_view s) {
    std::vector<std::uint8_t> out;
    out.reserve((s.size() + 1) * 2);
    for (char16_t c : s) {
        out.push_back(static_cast<std::uint8_t>(c & 0xFF));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    out.push_back(0);
    out.push_back(0);
    return out;
}

std::string envOr(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

}  // namespace

const char* statusText(Status s) {
    switch (s) {
        case Status::Ok:
            return "ok";
        case Status::NotFound:
            return "not found";
        case Status::MoreData:
            return "more data is available";
        case Status::NoMoreItems:
            return "no more items";
        case Status::AccessDenied:
            return "access denied";
        case Status::InvalidArgument:
            return "invalid argument";
        case Status::KeyDeleted:
            return "key deleted";
    }
    return "unknown";
}

std::string registryDirectory() {
    std::string dir = envOr("NORVALE_REGISTRY_DIR");
    if (dir.empty()) {
        std::string config = envOr("XDG_CONFIG_HOME");
        if (config.empty()) {
            std::string home = envOr("HOME");
            config = (home.empty() ? std::string("/tmp") : home) + "/.config";
        }
        dir = config + "/norvale";
    }
    if (dir.back() != '/')
        dir += '/';
    return dir;
}

std::string hiveFilePath(Hive hive) {
    return HiveStore::forHive(hive)->filePath();
}

Key::Key(std::shared_ptr<HiveStore> store, std::u16string path, Access access)
    : store_(std::move(store)), path_(std::move(path)), access_(access) {}

Key::Key(Key&&) noexcept = default;
Key& Key::operator=(Key&&) noexcept = default;
Key::~Key() = default;

void Key::close() {
    store_.reset();
    path_.clear();
}

Status Key::open(Hive hive, std::u16string_view path, Access access, Key& out) {
    auto store = HiveStore::forHive(hive);
    std::u16string p = joinPath(u"", path);
    Status st = store->read(
        [&](const RegNode& root) { return resolve(root, p) ? Status::Ok : Status::NotFound; });
    if (st != Status::Ok)
        return st;
    out = Key(std::move(store), std::move(p), access);
    return Status::Ok;
}

Status Key::create(Hive hive, std::u16string_view path, Key& out) {
    auto store = HiveStore::forHive(hive);
    std::u16string p = joinPath(u"", path);
    // Creating an existing key must not rewrite the file (and works on a read-only hive).
    Status exists = store->read(
        [&](const RegNode& root) { return resolve(root, p) ? Status::Ok : Status::NotFound; });
    if (exists != Status::Ok) {
        Status st = store->write([&](RegNode& root) {
            RegNode* node = &root;
            for (std::u16string_view part : detail::splitKeyPath(p))
                node = node->findOrAddSubkey(part);
            return Status::Ok;
        });
        if (st != Status::Ok)
            return st;
    }
    out = Key(std::move(store), std::move(p), Access::ReadWrite);
    return Status::Ok;
}

Status Key::deleteTree(Hive hive, std::u16string_view path) {
    std::u16string p = joinPath(u"", path);
    std::vector<std::u16string_view> parts = detail::splitKeyPath(p);
    if (parts.empty())
        return Status::InvalidArgument;
    auto store = HiveStore::forHive(hive);
    Status present = store->read(
        [&](const RegNode& root) { return resolve(root, p) ? Status::Ok : Status::NotFound; });
    if (present != Status::Ok)
        return present;
    return store->write([&](RegNode& root) {
        RegNode* parent = &root;
        for (std::size_t i = 0; parent && i + 1 < parts.size(); ++i)
            parent = parent->findSubkey(parts[i]);
        if (!parent || !parent->removeSubkey(parts.back()))
            return Status::NotFound;
        return Status::Ok;
    });
}

std::u16string Key::path() const {
    if (!store_)
        return {};
    std::u16string out;
    store_->read([&](const RegNode& root) {
        const RegNode* node = &root;
        for (std::u16string_view part : detail::splitKeyPath(path_)) {
            node = node->findSubkey(part);
            if (!node)
                return Status::KeyDeleted;
            if (!out.empty())
                out += u'\\';
            out += node->name;
        }
        return Status::Ok;
    });
    return out;
}

Status Key::openSubkey(std::u16string_view subpath, Access access, Key& out) const {
    if (!store_)
        return Status::InvalidArgument;
    std::u16string p = joinPath(path_, subpath);
    Status st = store_->read([&](const RegNode& root) {
        if (!resolve(root, path_))
            return Status::KeyDeleted;
        return resolve(root, p) ? Status::Ok : Status::NotFound;
    });
    if (st != Status::Ok)
        return st;
    out = Key(store_, std::move(p), access);
    return Status::Ok;
}

Status Key::createSubkey(std::u16string_view subpath, Key& out) const {
    if (!store_)
        return Status::InvalidArgument;
    if (access_ != Access::ReadWrite)
        return Status::AccessDenied;
    std::u16string p = joinPath(path_, subpath);
    Status exists = store_->read([&](const RegNode& root) {
        if (!resolve(root, path_))
            return Status::KeyDeleted;
        return resolve(root, p) ? Status::Ok : Status::NotFound;
    });
    if (exists == Status::KeyDeleted)
        return exists;
    if (exists != Status::Ok) {
        Status st = store_->write([&](RegNode& root) {
            RegNode* node = resolve(root, path_);
            if (!node)
                return Status::KeyDeleted;
            for (std::u16string_view part : detail::splitKeyPath(subpath))
                node = node->findOrAddSubkey(part);
            return Status::Ok;
        });
        if (st != Status::Ok)
            return st;
    }
    out = Key(store_, std::move(p), Access::ReadWrite);
    return Status::Ok;
}

Status Key::deleteSubkeyTree(std::u16string_view subpath) const {
    if (!store_)
        return Status::InvalidArgument;
    if (access_ != Access::ReadWrite)
        return Status::AccessDenied;
    std::vector<std::u16string_view> parts = detail::splitKeyPath(subpath);
    if (parts.empty())
        return Status::InvalidArgument;
    Status present = store_->read([&](const RegNode& root) {
        const RegNode* node = resolve(root, path_);
        if (!node)
            return Status::KeyDeleted;
        return resolve(*node, subpath) ? Status::Ok : Status::NotFound;
    });
    if (present != Status::Ok)
        return present;
    return store_->write([&](RegNode& root) {
        RegNode* parent = resolve(root, path_);
        if (!parent)
            return Status::KeyDeleted;
        for (std::size_t i = 0; parent && i + 1 < parts.size(); ++i)
            parent = parent->findSubkey(parts[i]);
        if (!parent || !parent->removeSubkey(parts.back()))
            return Status::NotFound;
        return Status::Ok;
    });
}

Status Key::query(std::u16string_view name, ValueType* type, void* data,
                  std::uint32_t* size) const {
    if (!store_)
        return Status::InvalidArgument;
    if (data && !size)
        return Status::InvalidArgument;
    return store_->read([&](const RegNode& root) {
        const RegNode* node = resolve(root, path_);
        if (!node)
            return Status::KeyDeleted;
        const Value* v = node->findValue(name);
        if (!v)
            return Status::NotFound;
        if (type)
            *type = v->type;
        auto needed = static_cast<std::uint32_t>(v->data.size());
        if (!data) {
            if (size)
                *size = needed;
            return Status::Ok;
        }
        if (*size < needed) {
            *size = needed;
            return Status::MoreData;
        }
        if (needed)
            std::memcpy(data, v->data.data(), needed);
        *size = needed;
        return Status::Ok;
    });
}

Status Key::get(std::u16string_view name, Value& out) const {
    if (!store_)
        return Status::InvalidArgument;
    return store_->read([&](const RegNode& root) {
        const RegNode* node = resolve(root, path_);
        if (!node)
            return Status::KeyDeleted;
        const Value* v = node->findValue(name);
        if (!v)
            return Status::NotFound;
        out = *v;
        return Status::Ok;
    });
}

Status Key::set(std::u16string_view name, ValueType type, const void* data, std::uint32_t size) {
    if (!store_)
        return Status::InvalidArgument;
    if (access_ != Access::ReadWrite)
        return Status::AccessDenied;
    if (size && !data)
        return Status::InvalidArgument;
    Value v;
    v.name = std::u16string(name);
    v.type = type;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    v.data.assign(bytes, bytes + size);
    return store_->write([&](RegNode& root) {
        RegNode* node = resolve(root, path_);
        if (!node)
            return Status::KeyDeleted;
        node->setValue(std::move(v));
        return Status::Ok;
    });
}

Status Key::setString(std::u16string_view name, std::u16string_view text) {
    auto bytes = stringBytes(text);
    return set(name, ValueType::String, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

Status Key::setExpandString(std::u16string_view name, std::u16string_view text) {
    auto bytes = stringBytes(text);
    return set(name, ValueType::ExpandString, bytes.data(),
               static_cast<std::uint32_t>(bytes.size()));
}

Status Key::setDword(std::u16string_view name, std::uint32_t value) {
    std::uint8_t bytes[4] = {
        static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
        static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    return set(name, ValueType::Dword, bytes, 4);
}

Status Key::setBinary(std::u16string_view name, const void* data, std::uint32_t size) {
    return set(name, ValueType::Binary, data, size);
}

Status Key::deleteValue(std::u16string_view name) {
    if (!store_)
        return Status::InvalidArgument;
    if (access_ != Access::ReadWrite)
        return Status::AccessDenied;
    Status present = query(name, nullptr, nullptr, nullptr);
    if (present != Status::Ok)
        return present;
    return store_->write([&](RegNode& root) {
        RegNode* node = resolve(root, path_);
        if (!node)
            return Status::KeyDeleted;
        return node->removeValue(name) ? Status::Ok : Status::NotFound;
    });
}

Status Key::enumValue(std::uint32_t index, Value& out) const {
    if (!store_)
        return Status::InvalidArgument;
    return store_->read([&](const RegNode& root) {
        const RegNode* node = resolve(root, path_);
        if (!node)
            return Status::KeyDeleted;
        if (index >= node->values.size())
            return Status::NoMoreItems;
        out = node->values[index];
        return Status::Ok;
    });
}

Status Key::enumSubkey(std::uint32_t index, std::u16string& name) const {
    if (!store_)
        return Status::InvalidArgument;
    return store_->read([&](const RegNode& root) {
        const RegNode* node = resolve(root, path_);
        if (!node)
            return Status::KeyDeleted;
        if (index >= node->subkeys.size())
            return Status::NoMoreItems;
        name = node->subkeys[index]->name;
        return Status::Ok;
    });
}

Status Key::valueCount(std::uint32_t& count) const {
    if (!store_)
        return Status::InvalidArgument;
    return store_->read([&](const RegNode& root) {
        const RegNode* node = resolve(root, path_);
        if (!node)
            return Status::KeyDeleted;
        count = static_cast<std::uint32_t>(node->values.size());
        return Status::Ok;
    });
}

Status Key::subkeyCount(std::uint32_t& count) const {
    if (!store_)
        return Status::InvalidArgument;
    return store_->read([&](const RegNode& root) {
        const RegNode* node = resolve(root, path_);
        if (!node)
            return Status::KeyDeleted;
        count = static_cast<std::uint32_t>(node->subkeys.size());
        return Status::Ok;
    });
}

Status Key::getString(std::u16string_view name, std::u16string& out) const {
    Value v;
    Status st = get(name, v);
    if (st != Status::Ok)
        return st;
    if (v.type != ValueType::String && v.type != ValueType::ExpandString)
        return Status::InvalidArgument;
    out.clear();
    for (std::size_t i = 0; i + 1 < v.data.size(); i += 2) {
        auto c = static_cast<char16_t>(v.data[i] | (v.data[i + 1] << 8));
        if (c == 0)
            break;
        out += c;
    }
    return Status::Ok;
}

Status Key::getDword(std::u16string_view name, std::uint32_t& out) const {
    Value v;
    Status st = get(name, v);
    if (st != Status::Ok)
        return st;
    if (v.type != ValueType::Dword || v.data.size() != 4)
        return Status::InvalidArgument;
    out = static_cast<std::uint32_t>(v.data[0]) | (v.data[1] << 8) | (v.data[2] << 16) |
          (static_cast<std::uint32_t>(v.data[3]) << 24);
    return Status::Ok;
}

Status importRegFile(const std::string& path, std::size_t* badLines) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return Status::NotFound;
    std::string bytes;
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        bytes.append(buf, n);
    std::fclose(f);

    detail::ParsedRegFile parsed = detail::parseRegFile(bytes);
    std::size_t bad = parsed.badLines;

    // Group the entries by hive, keeping each key line with the values that follow it, and
    // apply each hive's share in one locked write.
    std::map<Hive, std::vector<detail::RegEntry>> perHive;
    int currentHive = -1;
    for (auto& e : parsed.entries) {
        if (e.kind == detail::RegEntry::Kind::Key || e.kind == detail::RegEntry::Kind::DeleteKey) {
            auto parts = detail::splitKeyPath(e.keyPath);
            std::u16string_view rootName = parts.empty() ? u"" : parts[0];
            if (text::equalsIgnoreCase(rootName, u"HKEY_CURRENT_USER") ||
                text::equalsIgnoreCase(rootName, u"HKCU")) {
                currentHive = static_cast<int>(Hive::CurrentUser);
            } else if (text::equalsIgnoreCase(rootName, u"HKEY_CLASSES_ROOT") ||
                       text::equalsIgnoreCase(rootName, u"HKCR")) {
                currentHive = static_cast<int>(Hive::ClassesRoot);
            } else {
                currentHive = -1;
                ++bad;  // a root this registry does not hold
                continue;
            }
            // Normalise the root's name to the store's own.
            Hive h = static_cast<Hive>(currentHive);
            std::u16string rest = e.keyPath.substr(rootName.size());
            e.keyPath = std::u16string(h == Hive::CurrentUser ? u"HKEY_CURRENT_USER"
                                                              : u"HKEY_CLASSES_ROOT") +
                        rest;
            perHive[h].push_back(std::move(e));
        } else if (currentHive >= 0) {
            perHive[static_cast<Hive>(currentHive)].push_back(std::move(e));
        } else {
            ++bad;
        }
    }
    for (auto& perHiveEntry : perHive) {
        const std::vector<detail::RegEntry>& entries = perHiveEntry.second;
        auto store = HiveStore::forHive(perHiveEntry.first);
        Status st = store->write([&](RegNode& root) {
            detail::applyEntries(root, store->rootName(), entries);
            return Status::Ok;
        });
        if (st != Status::Ok)
            return st;
    }
    if (badLines)
        *badLines = bad;
    return Status::Ok;
}

}  // namespace nv::registry
