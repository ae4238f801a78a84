// The named container every model object is built on: members in the order they were added,
// found by exact name, and the first definition of a name wins.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace wscore {

struct StringHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
};

class ModelContainer {
  public:
    ModelContainer() = default;
    explicit ModelContainer(std::string n) : name(std::move(n)) {}
    virtual ~ModelContainer();
    ModelContainer(const ModelContainer&) = delete;
    ModelContainer& operator=(const ModelContainer&) = delete;

    // Stores `member` under `key` unless the key is taken. On success the container owns the
    // member (the pointer is moved from) and the answer is true; when the key is taken the
    // caller keeps its object and the answer is whether the stored member is that object.
    bool addMember(const std::string& key, std::unique_ptr<ModelContainer>& member);
    // Like addMember, placing the key at `position` of the member-name list.
    bool insertMember(std::size_t position, const std::string& key,
                      std::unique_ptr<ModelContainer>& member);
    ModelContainer* member(std::string_view key) const;
    bool hasMember(std::string_view key) const { return find(key) != kNone; }
    // Names in the order added. Enumeration values live here too, without member objects.
    const std::vector<std::string>& memberNames() const { return names_; }
    void appendName(std::string n);
    void clearMembers();
    std::size_t memberCount() const { return names_.size(); }

    template <typename T>
    T* memberAs(std::string_view key) const {
        return static_cast<T*>(member(key));
    }

    std::string name;
    std::string description;
    std::string namespaceUri;

  private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    // Most containers hold a handful of members: they are searched in order. Large ones (the
    // types table, big messages) get a hash index, rebuilt when positions shift.
    static constexpr std::size_t kIndexFrom = 16;

    std::size_t find(std::string_view key) const;
    void rebuildIndex();

    std::vector<std::string> names_;
    std::vector<std::unique_ptr<ModelContainer>>
        objects_;  // parallel to names_; null for names only
    std::unique_ptr<std::unordered_map<std::string, std::size_t, StringHash, std::equal_to<>>>
        index_;
};

}  // namespace wscore
