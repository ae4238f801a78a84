// Per-user registry stand-in: two hives (HKEY_CURRENT_USER, HKEY_CLASSES_ROOT), each kept as a
// text file in regedit's ".reg" format and shared safely between processes.
//
// Files live in $NORVALE_REGISTRY_DIR when set, else ${XDG_CONFIG_HOME:-$HOME/.config}/norvale/,
// named "HKEY_CURRENT_USER.reg" and "HKEY_CLASSES_ROOT.reg". The directory is looked up again
// each time a key is opened, so a process (or a test) may switch it between calls.
//
// Key and value names compare case-insensitively and keep the case they were created with.
// Paths use "\" between key names, as on Windows; an empty path is the hive's root.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/export.h"

namespace nv::registry {

enum class Hive { CurrentUser, ClassesRoot };

// The registry's value types, numbered as regedit numbers them in "hex(N):".
enum class ValueType : std::uint32_t {
    None = 0,
    String = 1,        // REG_SZ: UTF-16LE text with a terminating NUL
    ExpandString = 2,  // REG_EXPAND_SZ
    Binary = 3,        // REG_BINARY
    Dword = 4,         // REG_DWORD, little-endian
    MultiString = 7,   // REG_MULTI_SZ
    Qword = 11,        // REG_QWORD
};

enum class Access { Read, ReadWrite };

enum class Status {
    Ok,
    NotFound,         // key or value does not exist (ERROR_FILE_NOT_FOUND)
    MoreData,         // the caller's buffer is too small; the needed size is reported
    NoMoreItems,      // enumeration index past the end
    AccessDenied,     // write through a read-only key, or the hive file cannot be written
    InvalidArgument,  // bad name (empty key name, a "\" in a value name) or closed key
    KeyDeleted,       // the key was deleted while this handle was open
};

NV_PLATFORM_API const char* statusText(Status s);

struct Value {
    std::u16string name;
    ValueType type = ValueType::None;
    std::vector<std::uint8_t> data;
};

namespace detail {
class HiveStore;
}

// An open key. Move-only; closing (or destroying) it releases nothing else.
class NV_PLATFORM_API Key {
  public:
    Key() = default;
    Key(Key&&) noexcept;
    Key& operator=(Key&&) noexcept;
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key();

    // Opens an existing key.
    static Status open(Hive hive, std::u16string_view path, Access access, Key& out);
    // Opens a key, creating it and any missing intermediate keys. Always read/write.
    static Status create(Hive hive, std::u16string_view path, Key& out);
    // Deletes a key with all its subkeys. Deleting the hive root is refused.
    static Status deleteTree(Hive hive, std::u16string_view path);

    Status openSubkey(std::u16string_view subpath, Access access, Key& out) const;
    Status createSubkey(std::u16string_view subpath, Key& out) const;
    Status deleteSubkeyTree(std::u16string_view subpath) const;

    bool isOpen() const { return store_ != nullptr; }
    void close();
    // The key's path below the hive root, with the case of the stored key names.
    std::u16string path() const;

    // Raw query with the registry's size contract: `size` holds the buffer size in bytes on
    // entry and the value's size on return. A null `data` asks for type and size only.
    // A buffer that is too small gives MoreData (nothing copied). An empty name is the
    // key's default value ("@" in the file).
    Status query(std::u16string_view name, ValueType* type, void* data, std::uint32_t* size) const;
    // Whole value; NotFound when it does not exist.
    Status get(std::u16string_view name, Value& out) const;

    Status set(std::u16string_view name, ValueType type, const void* data, std::uint32_t size);
    Status setString(std::u16string_view name, std::u16string_view text);  // REG_SZ + NUL
    Status setExpandString(std::u16string_view name, std::u16string_view text);
    Status setDword(std::u16string_view name, std::uint32_t value);
    Status setBinary(std::u16string_view name, const void* data, std::uint32_t size);
    Status deleteValue(std::u16string_view name);

    // Values in the order they were first stored; subkeys in case-insensitive name order.
    Status enumValue(std::uint32_t index, Value& out) const;
    Status enumSubkey(std::uint32_t index, std::u16string& name) const;
    Status valueCount(std::uint32_t& count) const;
    Status subkeyCount(std::uint32_t& count) const;

    // Convenience readers built on query(); they fail on a missing value or a wrong type.
    Status getString(std::u16string_view name, std::u16string& out) const;  // String/ExpandString
    Status getDword(std::u16string_view name, std::uint32_t& out) const;

  private:
    Key(std::shared_ptr<detail::HiveStore> store, std::u16string path, Access access);

    std::shared_ptr<detail::HiveStore> store_;
    std::u16string path_;  // as given, joined with "\"; resolved case-insensitively
    Access access_ = Access::Read;
};

// Imports a ".reg" file (UTF-8, or UTF-16LE with BOM as regedit exports it; CRLF or LF) into
// the hives it names. Supports "[-key]" and "\"name\"=-" deletions. Returns the number of
// lines that could not be parsed in `badLines` (they are skipped).
NV_PLATFORM_API Status importRegFile(const std::string& path, std::size_t* badLines = nullptr);

// Directory that holds the hive files right now (ends in "/").
NV_PLATFORM_API std::string registryDirectory();
// Full path of a hive's file right now.
NV_PLATFORM_API std::string hiveFilePath(Hive hive);

}  // namespace nv::registry
